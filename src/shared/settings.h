// The settings store: an ordered list of named values kept in a
// "NAME,value" text file (the program settings and every project file).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

// A stored value: empty, text, boolean, number or date. Values loaded from a
// file are text or boolean.
class SettingValue {
 public:
  enum class Kind { kEmpty, kText, kBoolean, kNumber, kDate };

  SettingValue() = default;
  SettingValue(std::string text);  // NOLINT: a text is the usual value
  SettingValue(const char* text);  // NOLINT
  SettingValue(bool value);        // NOLINT
  SettingValue(int value);         // NOLINT
  SettingValue(std::int64_t value);  // NOLINT
  static SettingValue Date(TimePoint when);

  Kind kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == Kind::kEmpty; }
  // The value as written to a file: text unchanged, booleans "True"/"False",
  // numbers in decimal, dates in the short date form, empty as "".
  const std::string& Text() const { return text_; }
  // True for boolean true, and for a number other than 0 or a text that reads
  // as one; false otherwise.
  bool AsBool() const;
  // Numbers as they are; a text's leading digits (blanks around ignored);
  // `fallback` when there are none.
  std::int64_t AsNumber(std::int64_t fallback = 0) const;

  bool operator==(const SettingValue&) const = default;

 private:
  Kind kind_ = Kind::kEmpty;
  std::string text_;
  bool boolean_ = false;
  std::int64_t number_ = 0;
};

// One entry of the store.
struct cSHAREDSetting {
  std::string KeyName;
  SettingValue KeyValue;
};

// An ordered list of entries, in ascending order of name compared byte by
// byte, with no two entries of the same name. Names stored through sSet are
// upper-cased and lose their commas. Counts have no limit but memory.
//
// Numbered sets live in plain entries: SET_INDEX holds the highest member
// number handed out, SET_1, SET_2, ... the members.
class cSHAREDSettings {
 public:
  explicit cSHAREDSettings(Env& env);
  cSHAREDSettings(const cSHAREDSettings&) = delete;
  cSHAREDSettings& operator=(const cSHAREDSettings&) = delete;

  int SettingsCount() const { return static_cast<int>(entries_.size()); }
  // Name at a 1-based position; empty when out of range.
  std::string SettingNameByIndex(int position) const;

  // Upper-cases the name, then inserts or replaces.
  void StoreSetting(const std::string& name, const SettingValue& value);
  void sSet(const std::string& name, const SettingValue& value) { StoreSetting(name, value); }

  // The value stored under the upper-cased name, a text reading "TRUE"/"FALSE"
  // (or the locale's words) turned into a boolean; `fallback` when absent.
  SettingValue RetrieveSetting(const std::string& name, const SettingValue& fallback = {}) const;
  SettingValue sGet(const std::string& name, const SettingValue& fallback = {}) const {
    return RetrieveSetting(name, fallback);
  }
  SettingValue RetrieveWithDefault(const std::string& name, const SettingValue& fallback) const;

  void DeleteAllSettings();
  // 1-based position of the entry named exactly `name` (commas removed), or
  // -1; *insert_at receives where such an entry would go.
  int SettingPresent(const std::string& name, int* insert_at = nullptr) const;
  // Removes the entry named `name` as given, else the one named `name`
  // upper-cased.
  void DeleteSettingByName(const std::string& name);
  void DeleteSetting(int position);

  // Writes every entry, atomically: a failed save leaves the old file whole.
  // Failures are told to the person through the seam (read-only file, full
  // disk with Retry/Cancel, anything else in the error report).
  void SaveSettings(const std::string& path);
  // Replaces the list with the file's entries; a missing file gives an empty
  // store and no message.
  void LoadSettings(const std::string& path);

  int AddToSet(const std::string& set, const SettingValue& value);
  int LastIndexInSet(const std::string& set) const;
  void DeleteFromSetByValue(const std::string& set, const std::string& value);
  bool ValueInSet(const std::string& set, const std::string& value) const;
  int SetCount(const std::string& set) const;
  void DeleteASet(const std::string& set);

  // Every entry in list order (for tests and whole-store views).
  const std::vector<cSHAREDSetting>& entries() const { return entries_; }

 private:
  void addsetting(const std::string& name, const SettingValue& value);
  void DeleteFromSetByIndex(const std::string& set, int index);

  Env& env_;
  std::vector<cSHAREDSetting> entries_;
};

// The program settings (Pagorin.ini) and the five forwarding functions on
// them; the store is owned by the engine object.
void LoadAppSettings(cSHAREDSettings& app_settings, const std::string& path);
void SaveAppSettings(cSHAREDSettings& app_settings, const std::string& path);
SettingValue GetAppSetting(const cSHAREDSettings& app_settings, const std::string& name,
                           const SettingValue& fallback = {});
SettingValue GetAppSettingWithDefault(const cSHAREDSettings& app_settings, const std::string& name,
                                      const SettingValue& fallback);
void StoreAppSetting(cSHAREDSettings& app_settings, const std::string& name,
                     const SettingValue& value);

}  // namespace pagorin
