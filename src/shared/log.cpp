#include "shared/log.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "pagorin_version.h"
#include "shared/clock.h"
#include "shared/file_system.h"

namespace pagorin {

namespace {

constexpr const char* kLineEnd = "\r\n";
// The message of a log line starts at the next multiple of this column.
constexpr size_t kTabStop = 14;
// The log is written under file handle 1 for the whole run.
constexpr const char* kHandleMark = " #1";

std::string TimeOfDay(TimePoint when) {
  LocalDateTime local = ToLocal(when);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.hour % 100, local.minute % 100,
                local.second % 100);
  return text;
}

// The date and time as the locale writes them by default ("%x %X").
std::string GeneralDateTime(TimePoint when) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::seconds>(when));
  std::tm tm{};
  localtime_r(&seconds, &tm);
  char text[128];
  size_t length = std::strftime(text, sizeof text, "%x %X", &tm);
  return std::string(text, length);
}

// "message in procedure of module module", each part only when given.
std::string ComposeEntry(const std::string& message, const std::string& procedure,
                         const std::string& module) {
  std::string entry = message;
  if (!procedure.empty()) {
    entry += " in " + procedure;
  }
  if (!module.empty()) {
    entry += " of module " + module;
  }
  return entry;
}

}  // namespace

Log::Log(FileSystem& fs, Clock& clock, const ProgramPaths& paths)
    : fs_(fs), clock_(clock), paths_(paths), path_(paths.data_dir + "log.txt") {}

void Log::LogError(const std::string& message, const std::string& procedure,
                   const std::string& module) {
  Record(ComposeEntry(message, procedure, module), /*dump_when_full=*/true);
}

void Log::LogDebug(const std::string& message, const std::string& procedure,
                   const std::string& module) {
  Record(ComposeEntry("DBG: " + message, procedure, module), /*dump_when_full=*/false);
}

void Log::Record(const std::string& entry, bool dump_when_full) {
  ++position_;
  if (position_ > kRingSize) {
    if (dump_when_full) {
      DumpEvents();
    }
    position_ = 1;
  }
  messages_[static_cast<size_t>(position_ - 1)] = entry;
  times_[static_cast<size_t>(position_ - 1)] = TimeOfDay(clock_.Now());
}

std::vector<std::string> Log::RingLines() const {
  std::vector<std::string> lines;
  // The slot after the newest record holds the oldest one. While the 41st
  // record waits for the ring to be written, the 40th place is the newest.
  const int newest = std::min(position_, kRingSize);
  for (int step = 1; step <= kRingSize; ++step) {
    size_t slot = static_cast<size_t>((newest + step - 1) % kRingSize);
    if (!messages_[slot].empty()) {
      lines.push_back(" >> " + std::to_string(lines.size() + 1) + ": " + messages_[slot] + " - " +
                      times_[slot]);
    }
  }
  return lines;
}

std::string Log::RingText() const {
  std::string text;
  for (const std::string& line : RingLines()) {
    text += line + kLineEnd;
  }
  return text;
}

void Log::DumpEvents() {
  LogEvent("Listing last " + std::to_string(kRingSize) + " log events: ");
  for (const std::string& line : RingLines()) {
    LogEvent(line);
  }
  LogEvent("End of actions list");
}

std::string Log::FormatLine(const std::string& time, const std::string& message) const {
  std::string line = time + kHandleMark;
  line.append(kTabStop - line.size() % kTabStop, ' ');
  return line + message + kLineEnd;
}

void Log::LogEvent(const std::string& message, bool new_log) {
  const TimePoint now = clock_.Now();
  const std::string time = TimeOfDay(now);
  std::string text;
  if (new_log) {
    FileInfo old = fs_.Stat(path_);
    if (old.exists && !old.is_directory) {
      if (old.read_only) {
        fs_.SetReadOnly(path_, false);
      }
      fs_.Remove(path_);
    }
    // A log that could not be deleted is appended to without a header.
    if (!fs_.Stat(path_).exists) {
      text += FormatLine(time, "Log file created " + GeneralDateTime(now));
      text += FormatLine(time, "Operating System: " + fosname());
      text += FormatLine(time, "App: " + paths_.program_name);
      text += FormatLine(time, "Version: " + AppVersion());
    }
  }
  text += FormatLine(time, message);
  std::unique_ptr<OutputFile> file;
  if (!fs_.OpenOutput(path_, FileSystem::OpenMode::kAppend, &file).ok()) {
    return;
  }
  file->Append(text);
  file->Close();
}

std::string AppVersion() {
  return std::to_string(PAGORIN_VERSION_MAJOR) + "." + std::to_string(PAGORIN_VERSION_MINOR) + "." +
         std::to_string(PAGORIN_VERSION_PATCH);
}

std::string fosname() {
  struct utsname names {};
  if (::uname(&names) != 0) {
    return {};
  }
  return std::string("Linux ") + names.release;
}

}  // namespace pagorin
