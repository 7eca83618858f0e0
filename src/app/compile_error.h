// The error that ends a build run, carried up through every include level.
#pragma once

#include <stdexcept>
#include <string>

namespace pagorin {

// Error numbers of the build.
inline constexpr int kErrInvalidArgument = 5;   // "Invalid procedure call or argument"
inline constexpr int kErrOutOfMemory = 7;       // "Out of memory"
inline constexpr int kErrSubscript = 9;         // "Subscript out of range"
inline constexpr int kErrTypeMismatch = 13;     // "Type mismatch"
inline constexpr int kErrDiskFull = 61;         // "Disk full"
inline constexpr int kErrFileAccess = 75;       // "Path/File access error"
inline constexpr int kErrFileNotFound = 23001;  // "File not found": a missing include
inline constexpr int kErrIncludeCycle = 23002;  // "Include cycle"
inline constexpr int kErrTooDeep = 23003;       // "Includes nested too deeply"

class CompileError : public std::runtime_error {
 public:
  // `earlier_page`: the error belongs to a page finished before the one
  // being compiled (one its writer thread could not write), so the include
  // levels being processed add no records of their own.
  CompileError(int number, const std::string& description, bool earlier_page = false)
      : std::runtime_error(description),
        number_(number),
        description_(description),
        earlier_page_(earlier_page) {}

  int number() const { return number_; }
  const std::string& description() const { return description_; }
  bool earlier_page() const { return earlier_page_; }
  // "description(number)", the form of every log record.
  std::string LogText() const { return description_ + "(" + std::to_string(number_) + ")"; }

 private:
  int number_;
  std::string description_;
  bool earlier_page_;
};

}  // namespace pagorin
