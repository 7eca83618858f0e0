#include "shared/settings.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>
#include <limits>
#include <new>
#include <utility>

#include "shared/error_report.h"
#include "shared/file_subs.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/pointer.h"
#include "shared/text.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

constexpr const char* kModule = "cSHAREDSettings";
constexpr std::string_view kLineEnd = "\r\n";
constexpr const char* kReadOnlyMessage =
    "Your settings file is read-only and I can't change it. Save cancelled.";
// Error numbers as the log and the reports show them.
constexpr int kErrOutOfMemory = 7;
constexpr int kErrSubscript = 9;
constexpr int kErrInvalidCall = 5;

std::string WithoutCommas(std::string_view name) {
  std::string result;
  result.reserve(name.size());
  for (char c : name) {
    if (c != ',') {
      result += c;
    }
  }
  return result;
}

// Every byte below a blank but TAB, and the escape byte itself, is written
// as the escape byte followed by the byte plus 0x40 (LF as DLE "J", CR as DLE
// "M", DLE as DLE "P"): a line then holds no line end and no byte that makes
// a file look like anything but text, and reads back byte for byte.
void AppendEscaped(std::string_view text, std::string* out) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t') || c == kSettingsEscape) {
      out->push_back(kSettingsEscape);
      out->push_back(static_cast<char>(byte + 0x40));
    } else {
      out->push_back(c);
    }
  }
}

// The text of a line as stored. An escape byte followed by anything but
// "@" to "_" is kept as it is: files written before escaping never hold one.
std::string Unescaped(std::string_view text) {
  if (text.find(kSettingsEscape) == std::string_view::npos) {
    return std::string(text);
  }
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (text[i] == kSettingsEscape && next >= 0x40 && next <= 0x5F) {
      result.push_back(static_cast<char>(next - 0x40));
      ++i;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

// The name as a file line carries it: commas gone, upper-cased, escaped.
std::string WrittenName(std::string_view name) {
  std::string result;
  AppendEscaped(UCase(WithoutCommas(name)), &result);
  return result;
}

// True when `name` equals `other` upper-cased (ASCII letters).
bool EqualsUpperCased(std::string_view name, std::string_view other) {
  if (name.size() != other.size()) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != ToUpperAscii(other[i])) {
      return false;
    }
  }
  return true;
}

// A file's value text as stored: the words for true and false (trimmed,
// any letter case) become booleans, anything else stays text as it is.
SettingValue FromFileText(std::string_view text, LocaleFacts& locale) {
  const std::string_view word = TrimView(text);
  if (EqualsNoCase(word, "TRUE") || EqualsNoCase(word, locale.TrueWord())) {
    return SettingValue(true);
  }
  if (EqualsNoCase(word, "FALSE") || EqualsNoCase(word, locale.FalseWord())) {
    return SettingValue(false);
  }
  return SettingValue(std::string(text));
}

// At least as many as the lines a load can keep: one per line end and one
// after the last; and a kept line takes at least three bytes ("A," and its
// end), so a file of blank lines never reserves room for entries it cannot
// hold.
std::size_t LineCountBound(std::string_view text, std::string_view line_end) {
  std::size_t ends = 0;
  for (std::size_t at = text.find(line_end); at != std::string_view::npos;
       at = text.find(line_end, at + line_end.size())) {
    ++ends;
  }
  return std::min(ends, text.size() / 3) + 1;
}

int ErrorNumberOf(const std::exception& failure) {
  return dynamic_cast<const std::bad_alloc*>(&failure) != nullptr ? kErrOutOfMemory
                                                                  : kErrInvalidCall;
}

// The whole file: entries in list order, an entry whose written name is
// empty or repeats the one written just before left out.
std::string FileText(const std::vector<cSHAREDSetting>& entries) {
  std::string text;
  std::string written;
  for (const cSHAREDSetting& entry : entries) {
    std::string name = WrittenName(entry.KeyName);
    if (name.empty() || name == written) {
      continue;
    }
    text.append(name).append(",");
    AppendEscaped(entry.KeyValue.Text(), &text);
    text.append(kLineEnd);
    written = std::move(name);
  }
  return text;
}

// What the disk-full message calls the drive: the mount point of the file
// system that holds `path`, or when that cannot be told its folder.
std::string DiskOf(FileSystem& fs, const std::string& path) {
  std::string mount = fs.MountPoint(path);
  return mount.empty() ? PathOnly(path) : mount;
}

// One attempt: the read-only check a plain truncating open would meet, then
// the atomic replacement.
FsStatus WriteSettingsFile(Env& env, const std::string& target, const std::string& text) {
  if (FileSubs(env).isReadOnly(target)) {
    return FsStatus{FsError::kAccessDenied, target + " is read-only"};
  }
  return WriteFileAtomically(env.fs, target, text);
}

}  // namespace

std::string_view SettingsLineEnd(std::string_view text) {
  if (text.find(kLineEnd) != std::string_view::npos) {
    return kLineEnd;
  }
  if (text.find('\n') != std::string_view::npos) {
    return "\n";
  }
  return text.find('\r') != std::string_view::npos ? "\r" : kLineEnd;
}

// ---------------------------------------------------------------------------
// SettingValue

SettingValue::SettingValue(std::string text) : kind_(Kind::kText), text_(std::move(text)) {}

SettingValue::SettingValue(const char* text)
    : kind_(text == nullptr ? Kind::kEmpty : Kind::kText), text_(text == nullptr ? "" : text) {}

SettingValue::SettingValue(bool value)
    : kind_(Kind::kBoolean), text_(value ? "True" : "False"), boolean_(value) {}

SettingValue::SettingValue(int value) : SettingValue(static_cast<std::int64_t>(value)) {}

SettingValue::SettingValue(std::int64_t value)
    : kind_(Kind::kNumber), text_(std::to_string(value)), number_(value) {}

SettingValue SettingValue::Date(TimePoint when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  char buffer[64];
  const std::size_t length = std::strftime(buffer, sizeof buffer, "%x", &tm);
  SettingValue value;
  value.kind_ = Kind::kDate;
  value.text_.assign(buffer, length);
  return value;
}

bool SettingValue::AsBool() const {
  switch (kind_) {
    case Kind::kBoolean:
      return boolean_;
    case Kind::kNumber:
      return number_ != 0;
    case Kind::kEmpty:
      return false;
    case Kind::kText:
    case Kind::kDate:
      break;
  }
  return EqualsNoCase(TrimView(text_), "True") || AsNumber(0) != 0;
}

std::int64_t SettingValue::AsNumber(std::int64_t fallback) const {
  if (kind_ == Kind::kNumber) {
    return number_;
  }
  const std::string_view text = TrimView(text_);
  std::size_t at = 0;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
    ++at;
  }
  if (at == text.size() || text[at] < '0' || text[at] > '9') {
    return fallback;
  }
  // Accumulated as a negative number, whose range is the wider one.
  constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const int digit = text[at] - '0';
    if (value < (kLowest + digit) / 10) {
      return fallback;
    }
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kLowest) {
      return fallback;
    }
    value = -value;
  }
  return value;
}

// ---------------------------------------------------------------------------
// The list

cSHAREDSettings::cSHAREDSettings(Env& env) : env_(env) {}

std::string cSHAREDSettings::SettingNameByIndex(int position) const {
  if (position < 1 || position > SettingsCount()) {
    env_.log.LogError("Subscript out of range(" + std::to_string(kErrSubscript) + ")",
                      "SettingNameByIndex", kModule);
    return {};
  }
  return entries_[static_cast<std::size_t>(position - 1)].KeyName;
}

void cSHAREDSettings::StoreSetting(const std::string& name, const SettingValue& value) {
  addsetting(UCase(name), value);
}

SettingValue cSHAREDSettings::RetrieveSetting(const std::string& name,
                                              const SettingValue& fallback) const {
  const int position = SettingPresent(UCase(name));
  if (position < 0) {
    return fallback;
  }
  const SettingValue& value = entries_[static_cast<std::size_t>(position - 1)].KeyValue;
  const std::string_view word = TrimView(value.Text());
  if (EqualsNoCase(word, "FALSE") || EqualsNoCase(word, env_.locale.FalseWord())) {
    return SettingValue(false);
  }
  if (EqualsNoCase(word, "TRUE") || EqualsNoCase(word, env_.locale.TrueWord())) {
    return SettingValue(true);
  }
  return value;
}

SettingValue cSHAREDSettings::RetrieveWithDefault(const std::string& name,
                                                  const SettingValue& fallback) const {
  return RetrieveSetting(name, fallback);
}

void cSHAREDSettings::DeleteAllSettings() {
  entries_.clear();
}

int cSHAREDSettings::SettingPresent(const std::string& name, int* insert_at) const {
  const std::string key = WithoutCommas(name);
  int ignored = 0;
  int& at = insert_at != nullptr ? *insert_at : ignored;
  if (entries_.empty()) {
    at = 0;
    return -1;
  }
  const auto found = std::lower_bound(entries_.begin(), entries_.end(), key,
                                      [](const cSHAREDSetting& entry, const std::string& wanted) {
                                        return entry.KeyName < wanted;
                                      });
  const int position = static_cast<int>(found - entries_.begin()) + 1;
  if (found != entries_.end() && found->KeyName == key) {
    at = position + 1;
    return position;
  }
  at = position;
  return -1;
}

void cSHAREDSettings::addsetting(const std::string& name, const SettingValue& value) {
  int insert_at = 0;
  const int position = SettingPresent(name, &insert_at);
  if (position > 0) {
    entries_[static_cast<std::size_t>(position - 1)].KeyValue = value;
    return;
  }
  cSHAREDSetting entry{WithoutCommas(name), value};
  if (insert_at != 0 && insert_at <= SettingsCount()) {
    entries_.insert(entries_.begin() + (insert_at - 1), std::move(entry));
  } else {
    entries_.push_back(std::move(entry));
  }
}

void cSHAREDSettings::DeleteSettingByName(const std::string& name) {
  int position = SettingPresent(name);
  if (position < 0) {
    position = SettingPresent(UCase(name));
  }
  if (position > 0) {
    DeleteSetting(position);
  }
}

void cSHAREDSettings::DeleteSetting(int position) {
  if (position < 1 || position > SettingsCount()) {
    env_.log.LogError("Subscript out of range(" + std::to_string(kErrSubscript) + ")",
                      "DeleteSetting", kModule);
    return;
  }
  entries_.erase(entries_.begin() + (position - 1));
}

// ---------------------------------------------------------------------------
// The file

void cSHAREDSettings::ReadLine(std::string_view line, std::string_view* previous_name,
                               std::vector<cSHAREDSetting>* lines) const {
  const std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) {
    *previous_name = {};
    return;
  }
  const std::string_view name = line.substr(0, comma);
  const bool repeats = EqualsUpperCased(name, TrimView(*previous_name));
  *previous_name = name;
  if (repeats || TrimView(name).empty()) {
    return;
  }
  lines->push_back({Unescaped(name), FromFileText(Unescaped(line.substr(comma + 1)), env_.locale)});
}

bool cSHAREDSettings::LoadSettings(const std::string& path) {
  DeleteAllSettings();
  FileSubs files(env_);
  if (!files.FileExists(path)) {
    return true;
  }
  try {
    bool readable = true;
    const std::string text = files.LoadTextFile(path, &readable);
    if (!readable) {
      return false;
    }
    const std::string_view line_end = SettingsLineEnd(text);
    std::vector<cSHAREDSetting> lines;
    lines.reserve(LineCountBound(text, line_end));
    std::string_view previous_name;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find(line_end, start);
      if (end == std::string::npos) {
        end = text.size();
      }
      const std::string_view line(text.data() + start, end - start);
      start = std::min(end + line_end.size(), text.size());
      try {
        ReadLine(line, &previous_name, &lines);
      } catch (const std::exception& failure) {
        ShowNormal(env_.ui);
        showerr(env_, "Error " + std::to_string(ErrorNumberOf(failure)) +
                          " in setting file. Line: " + std::string(line) + " of " + path);
        ShowBusy(env_.ui);
      }
    }
    // Inserting line by line into the sorted list would give this order: by
    // name, and for equal names the value of the last line. A stable sort
    // keeps equal names in file order, so the last of each run wins.
    std::stable_sort(
        lines.begin(), lines.end(),
        [](const cSHAREDSetting& a, const cSHAREDSetting& b) { return a.KeyName < b.KeyName; });
    entries_.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i + 1 == lines.size() || lines[i + 1].KeyName != lines[i].KeyName) {
        entries_.push_back(std::move(lines[i]));
      }
    }
  } catch (const std::exception& failure) {
    env_.log.LogError(
        std::string(failure.what()) + "(" + std::to_string(ErrorNumberOf(failure)) + ")",
        "LoadSettings", kModule);
    return false;
  }
  return true;
}

bool cSHAREDSettings::SaveSettings(const std::string& path) {
  FileSubs files(env_);
  bool tried_writable = false;
  for (;;) {
    FsStatus status;
    std::string target = path;
    try {
      target = files.Resolve(path);
      status = WriteSettingsFile(env_, target, FileText(entries_));
    } catch (const std::exception& failure) {
      const int number = ErrorNumberOf(failure);
      env_.log.LogError(std::string(failure.what()) + "(" + std::to_string(number) + ")",
                        "SaveSettings", kModule);
      showerr(env_, std::to_string(number) + " - " + failure.what() + " in SaveSettings");
      ++failed_saves_;
      return false;
    }
    if (status.ok()) {
      return true;
    }
    env_.log.LogError(ErrorDescription(status), "SaveSettings", kModule);
    switch (status.code) {
      case FsError::kAccessDenied:
        // One more try at most: a folder that refuses the file refuses it
        // again however often the file is made writable.
        if (!tried_writable && files.MakeReadWrite(target)) {
          tried_writable = true;
          continue;
        }
        env_.ui.ShowMessage(kReadOnlyMessage, Buttons::kOk);
        break;
      case FsError::kDiskFull: {
        const std::string full =
            "You've run out of disk space on drive " + DiskOf(env_.fs, target) + ":";
        if (!env_.ui.CanAsk()) {
          env_.ui.ShowMessage(full + " " + target +
                              " was not saved. Please clear some space and re-run.");
          break;
        }
        if (env_.ui.ShowMessage(full + std::string(kLineEnd) +
                                    "Please clear some space and then click Retry, else click "
                                    "Cancel to abort.",
                                Buttons::kRetryCancel) == Answer::kRetry) {
          continue;
        }
        break;
      }
      default:
        showerr(env_, std::to_string(ErrorNumber(status.code)) + " - " + status.message +
                          " in SaveSettings");
        break;
    }
    ++failed_saves_;
    return false;
  }
}

// ---------------------------------------------------------------------------
// The program settings

bool LoadAppSettings(cSHAREDSettings& app_settings, const std::string& path) {
  return app_settings.LoadSettings(path);
}

void SaveAppSettings(cSHAREDSettings& app_settings, const std::string& path) {
  app_settings.SaveSettings(path);
}

SettingValue GetAppSetting(const cSHAREDSettings& app_settings, const std::string& name,
                           const SettingValue& fallback) {
  return app_settings.RetrieveSetting(name, fallback);
}

SettingValue GetAppSettingWithDefault(const cSHAREDSettings& app_settings, const std::string& name,
                                      const SettingValue& fallback) {
  return app_settings.RetrieveWithDefault(name, fallback);
}

void StoreAppSetting(cSHAREDSettings& app_settings, const std::string& name,
                     const SettingValue& value) {
  app_settings.StoreSetting(name, value);
}

}  // namespace pagorin
