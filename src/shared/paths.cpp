#include "shared/paths.h"

namespace pagorin {

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

size_t LastSeparator(std::string_view path) {
  return path.find_last_of("/\\");
}

}  // namespace

std::string ToForwardSlashes(std::string_view path) {
  std::string result(path);
  for (std::size_t at = result.find('\\'); at != std::string::npos;
       at = result.find('\\', at + 1)) {
    result[at] = '/';
  }
  return result;
}

std::string PathOnly(std::string_view path) {
  size_t last = LastSeparator(path);
  if (last == std::string_view::npos) {
    return "./";
  }
  return ToForwardSlashes(path.substr(0, last + 1));
}

std::string fileonly(std::string_view path) {
  size_t last = LastSeparator(path);
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string extonly(std::string_view path) {
  size_t dot = path.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::string filewithoutext(std::string_view path) {
  size_t dot = path.rfind('.');
  return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string addbackslash(std::string_view path) {
  if (path.empty() || IsSeparator(path.back())) {
    return std::string(path);
  }
  return std::string(path) + "/";
}

std::string addslash(std::string_view url) {
  if (url.empty() || url.back() == '/') {
    return std::string(url);
  }
  return std::string(url) + "/";
}

std::string uncroot(std::string_view path) {
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) {
    return std::string(path);
  }
  size_t server_end = path.find_first_of("/\\", 2);
  if (server_end == std::string_view::npos) {
    return std::string(path);
  }
  size_t share_end = path.find_first_of("/\\", server_end + 1);
  if (share_end == std::string_view::npos) {
    return std::string(path);
  }
  return std::string(path.substr(0, share_end));
}

std::string driveonly(std::string_view path) {
  if (path.empty() || IsSeparator(path[0])) {
    return std::string(path);
  }
  return std::string(path.substr(0, 1));
}

bool IsFullPath(std::string_view path) {
  return (!path.empty() && IsSeparator(path[0])) || path.find(':') != std::string_view::npos;
}

bool LeavesFolder(std::string_view name) {
  if (IsFullPath(name)) {
    return true;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find_first_of("/\\", start);
    if (name.substr(start, end == std::string_view::npos ? end : end - start) == "..") {
      return true;
    }
    if (end == std::string_view::npos) {
      return false;
    }
    start = end + 1;
  }
}

}  // namespace pagorin
