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
  CompileError(int number, const std::string& description)
      : std::runtime_error(description), number_(number), description_(description) {}

  int number() const { return number_; }
  const std::string& description() const { return description_; }
  // "description(number)", the form of every log record.
  std::string LogText() const { return description_ + "(" + std::to_string(number_) + ")"; }

 private:
  int number_;
  std::string description_;
};

}  // namespace pagorin
