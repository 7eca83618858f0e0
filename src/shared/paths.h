// Path strings: splitting and joining, with no disk access. Both "\" and "/"
// separate folders; the program writes "/".
#pragma once

#include <string>
#include <string_view>

namespace pagorin {

// Everything up to and including the last separator; "./" when there is none.
std::string PathOnly(std::string_view path);
// Everything after the last separator; the whole text when there is none.
std::string fileonly(std::string_view path);
inline std::string fileexpath(std::string_view path) {
  return fileonly(path);
}
// Everything after the last "." (wherever it is); empty without a ".".
std::string extonly(std::string_view path);
// Everything before the last "."; the whole text without a ".".
std::string filewithoutext(std::string_view path);
inline std::string fileroot(std::string_view path) {
  return filewithoutext(path);
}
// Appends "/" unless the text is empty or already ends in a separator.
std::string addbackslash(std::string_view path);
// Appends "/" unless the text is empty or already ends in "/" (web addresses).
std::string addslash(std::string_view url);
// For "//server/share/rest", "//server/share"; the whole text otherwise.
std::string uncroot(std::string_view path);
// The drive of a Windows path ("D" of "D:\web"); the whole path when it
// starts with a separator.
std::string driveonly(std::string_view path);
// Every "\" turned into "/".
std::string ToForwardSlashes(std::string_view path);
// True for "/..." and for anything holding ":" (a Windows drive path).
bool IsFullPath(std::string_view path);
// True when a name meant to stay inside a folder leads out of it: it is a
// full path (a leading separator or a ":") or one of its parts is "..".
bool LeavesFolder(std::string_view name);

}  // namespace pagorin
