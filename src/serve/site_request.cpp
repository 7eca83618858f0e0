#include "serve/site_request.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <utility>

#include "shared/text.h"

namespace pagorin {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

bool IsFile(const fs::path& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored);
}

// The real path, links resolved; empty when it cannot be found.
fs::path RealPath(const fs::path& path) {
  std::error_code error;
  fs::path real = fs::canonical(path, error);
  return error ? fs::path() : real;
}

bool Inside(const fs::path& folder, const fs::path& path) {
  const std::string prefix = folder.string() + "/";
  return path == folder || path.string().starts_with(prefix);
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 24> kTypes = {{
    {".html", "text/html"},          {".htm", "text/html"},       {".css", "text/css"},
    {".js", "text/javascript"},      {".png", "image/png"},       {".jpg", "image/jpeg"},
    {".jpeg", "image/jpeg"},         {".gif", "image/gif"},       {".svg", "image/svg+xml"},
    {".ico", "image/x-icon"},        {".webp", "image/webp"},     {".xml", "application/xml"},
    {".rss", "application/rss+xml"}, {".txt", "text/plain"},      {".json", "application/json"},
    {".pdf", "application/pdf"},     {".zip", "application/zip"}, {".woff", "font/woff"},
    {".woff2", "font/woff2"},        {".mp3", "audio/mpeg"},      {".mp4", "video/mp4"},
    {".php", "text/html"},           {".asp", "text/html"},       {".aspx", "text/html"},
}};

std::string Extension(const std::string& file) {
  return LCase(fs::path(file).extension().string());
}

}  // namespace

SiteRequest ResolveSiteRequest(const std::string& site, const std::string& project_file,
                               const std::string& path) {
  SiteRequest request;
  if (path.find('\\') != std::string::npos || path.find('\0') != std::string::npos) {
    request.verdict = SiteRequest::Verdict::kForbidden;
    return request;
  }
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) {
      end = path.size();
    }
    const std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      request.verdict = SiteRequest::Verdict::kForbidden;
      return request;
    }
    if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  if (!segments.empty() &&
      (EqualsNoCase(segments[0], "Templates") || EqualsNoCase(segments[0], "Includes"))) {
    return request;
  }
  const fs::path root = RealPath(site);
  if (root.empty()) {
    return request;
  }
  fs::path wanted = root;
  for (const std::string& segment : segments) {
    wanted /= segment;
  }
  if (IsFolder(wanted)) {
    wanted = IsFile(wanted / "index.html") ? wanted / "index.html" : wanted / "index.htm";
  }
  const std::string page = site + wanted.lexically_relative(root).string();
  const fs::path real = RealPath(wanted);
  if (real.empty() || !IsFile(real)) {
    request.page = page;  // perhaps a new page the build has yet to write
    return request;
  }
  if (!Inside(root, real)) {
    request.verdict = SiteRequest::Verdict::kForbidden;
    return request;
  }
  // The folders are refused by their real place too, so a link to them
  // does not open them.
  for (const char* hidden : {"Templates", "Includes"}) {
    const fs::path folder = RealPath(root / hidden);
    if (!folder.empty() && Inside(folder, real)) {
      return request;
    }
  }
  if (real == RealPath(project_file)) {
    return request;
  }
  request.verdict = SiteRequest::Verdict::kServe;
  request.file = real.string();
  request.page = page;
  return request;
}

std::string ContentTypeFor(const std::string& file) {
  const std::string extension = Extension(file);
  for (const auto& [known, type] : kTypes) {
    if (extension == known) {
      return std::string(type);
    }
  }
  return "application/octet-stream";
}

bool IsServerPage(const std::string& file) {
  const std::string extension = Extension(file);
  return extension == ".php" || extension == ".asp" || extension == ".aspx";
}

std::string WithReloadScript(const std::string& html, long build, bool server_page) {
  std::string added;
  if (server_page) {
    added +=
        "<div style=\"position:fixed;bottom:0;left:0;right:0;padding:4px 8px;"
        "background:#ffd;border-top:1px solid #cc9;font:13px sans-serif;color:#000\">"
        "Preview: the server code of this page did not run.</div>\n";
  }
  added += "<script>new EventSource(\"" + std::string(kEventsPath) +
           "?since=" + std::to_string(build) +
           "\").addEventListener(\"reload\", function () { location.reload(); });</script>\n";
  const std::string lower = LCase(html);
  const size_t body_end = lower.rfind("</body>");
  if (body_end == std::string::npos) {
    return html + added;
  }
  return html.substr(0, body_end) + added + html.substr(body_end);
}

}  // namespace pagorin
