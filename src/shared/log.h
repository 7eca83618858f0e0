// The action log: a ring of the last 40 failures and the log file.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "shared/env.h"

namespace pagorin {

// Failures are kept in memory (LogError) and written to log.txt only when the
// ring fills; progress lines (LogEvent) go to the file at once. The log never
// reports failures of its own: a log that cannot be written is ignored.
class Log {
 public:
  static constexpr int kRingSize = 40;

  Log(FileSystem& fs, Clock& clock, const ProgramPaths& paths);
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  // Records "message in procedure of module module"; the 41st record first
  // writes the whole ring to the file (DumpEvents).
  void LogError(const std::string& message, const std::string& procedure,
                const std::string& module);
  // The same with "DBG: " in front; wraps without writing the ring.
  void LogDebug(const std::string& message, const std::string& procedure,
                const std::string& module);
  // Appends one line "HH:MM:SS #1   message". With new_log the file is
  // started afresh with its four header lines.
  void LogEvent(const std::string& message, bool new_log = false);
  // Writes the stored records, oldest first, between two marker lines.
  void DumpEvents();

  const std::string& LogFilePath() const { return path_; }

  // The stored records, oldest first, as DumpEvents writes them
  // (" >> 1: message - HH:MM:SS"), each line ending in CR LF.
  std::string RingText() const;

 private:
  void Record(const std::string& entry, bool dump_when_full);
  std::vector<std::string> RingLines() const;
  std::string FormatLine(const std::string& time, const std::string& message) const;

  FileSystem& fs_;
  Clock& clock_;
  const ProgramPaths& paths_;
  std::string path_;
  std::array<std::string, kRingSize> messages_;
  std::array<std::string, kRingSize> times_;
  int position_ = 0;  // 1..40 once something was recorded
};

// The version as "major.minor.revision", from the build.
std::string AppVersion();
// "Linux " followed by the kernel release; empty when it cannot be read.
std::string fosname();

}  // namespace pagorin
