// The settings store: an ordered list of named values kept in a
// "NAME,value" text file (the program settings and every project file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

// Starts an escaped byte in a settings file (DLE).
constexpr char kSettingsEscape = '\x10';

// The line end of a settings file's text: CR LF as the store writes it; in
// a text without a CR LF pair, LF, or else CR when it holds one.
std::string_view SettingsLineEnd(std::string_view text);

// A stored value: empty, text, boolean, number or date. Values loaded from a
// file are text or boolean.
class SettingValue {
 public:
  enum class Kind { kEmpty, kText, kBoolean, kNumber, kDate };

  SettingValue() = default;
  SettingValue(std::string text);    // NOLINT: a text is the usual value
  SettingValue(const char* text);    // NOLINT
  SettingValue(bool value);          // NOLINT
  SettingValue(int value);           // NOLINT
  SettingValue(std::int64_t value);  // NOLINT
  // The local date of `when` in the C library's short date form (its "%x").
  static SettingValue Date(TimePoint when);

  Kind kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == Kind::kEmpty; }
  // The value as written to a file: text unchanged, booleans "True"/"False",
  // numbers in decimal, dates in the short date form, empty as "".
  const std::string& Text() const { return text_; }
  // True for boolean true, and for a number other than 0 or a text that reads
  // as one; false otherwise.
  bool AsBool() const;
  // Numbers as they are; a text's leading digits (blanks around ignored, an
  // optional sign); `fallback` when there are none or they do not fit.
  // Booleans and dates go by their text.
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
//
// The file: one "NAME,value" line per entry, each ending in CR LF, in list
// order. Names and values hold any bytes: the control bytes but TAB (line
// ends among them) and kSettingsEscape are written escaped, so every entry
// keeps one line and reads back byte for byte; files without the escape byte
// read as they always did. A file made by another editor, with no CR LF
// pair, has its lines end at LF, or when it has none at CR.
class cSHAREDSettings {
 public:
  explicit cSHAREDSettings(Env& env);
  cSHAREDSettings(const cSHAREDSettings&) = delete;
  cSHAREDSettings& operator=(const cSHAREDSettings&) = delete;

  int SettingsCount() const { return static_cast<int>(entries_.size()); }
  // Name at a 1-based position; empty when out of range.
  std::string SettingNameByIndex(int position) const;

  // Upper-cases the name, then inserts or replaces. A new name costs a move
  // of the entries after it (loading a file does not go this way).
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

  // Writes every entry, atomically: a failed save leaves the old file whole
  // and no temporary file behind. A read-only file is made writable first.
  // Failures are told to the person through the seam: access denied (after
  // one more try when the file could be made writable) with the read-only
  // message; a full disk with Retry/Cancel (naming its mount point; without
  // anyone to ask, with OK and the file that was not saved); anything else
  // in the error report. False, and counted in failed_saves(), when the
  // file was not written.
  bool SaveSettings(const std::string& path);
  // How many saves of this store failed since it was made.
  int failed_saves() const { return failed_saves_; }
  // Replaces the list with the file's entries; a missing file gives an empty
  // store and no message; one that cannot be read gives an empty store, a
  // line in the log and false (true otherwise). Names are taken as written
  // (a lower-case name is kept lower-case); of two adjacent lines with the
  // same name the first wins, of non-adjacent ones the last. Cost:
  // O(n log n) for n lines.
  bool LoadSettings(const std::string& path);

  // Set names are upper-cased. AddToSet returns the new member's number,
  // skipping numbers already taken; 0 when the counter cannot grow.
  int AddToSet(const std::string& set, const SettingValue& value);
  int LastIndexInSet(const std::string& set) const;
  // Removes the lowest-numbered member equal to `value` (cut at a NUL,
  // trimmed, letter case ignored); the members above it move down by one,
  // a missing one moving as an empty value, and the counter drops by one. A
  // move of more than a million numbers (a damaged counter) is logged and
  // nothing changes.
  void DeleteFromSetByValue(const std::string& set, const std::string& value);
  bool ValueInSet(const std::string& set, const std::string& value) const;
  int SetCount(const std::string& set) const;
  // Removes members 1 .. SetCount + 10 and the counter; members numbered
  // higher stay.
  void DeleteASet(const std::string& set);

  // Every entry in list order (for tests and whole-store views).
  const std::vector<cSHAREDSetting>& entries() const { return entries_; }

 private:
  void addsetting(const std::string& name, const SettingValue& value);
  void DeleteFromSetByIndex(const std::string& set, int index);
  // [first, last) 0-based positions of the entries whose names begin with
  // `prefix`; they are next to each other because the list is sorted.
  std::pair<std::size_t, std::size_t> PrefixRange(std::string_view prefix) const;
  // The member numbers of `prefix` ("SET_") in [low, high], each with its
  // position, in list order.
  std::vector<std::pair<std::int64_t, std::size_t>> Members(std::string_view prefix,
                                                            std::int64_t low,
                                                            std::int64_t high) const;
  // Appends the line's entry to *lines unless the load rules skip it.
  void ReadLine(std::string_view line, std::string_view* previous_name,
                std::vector<cSHAREDSetting>* lines) const;

  Env& env_;
  std::vector<cSHAREDSetting> entries_;
  int failed_saves_ = 0;
};

// The program settings (Pagorin.ini) and the five forwarding functions on
// them; the store is owned by the engine object.
bool LoadAppSettings(cSHAREDSettings& app_settings, const std::string& path);
void SaveAppSettings(cSHAREDSettings& app_settings, const std::string& path);
SettingValue GetAppSetting(const cSHAREDSettings& app_settings, const std::string& name,
                           const SettingValue& fallback = {});
SettingValue GetAppSettingWithDefault(const cSHAREDSettings& app_settings, const std::string& name,
                                      const SettingValue& fallback);
void StoreAppSetting(cSHAREDSettings& app_settings, const std::string& name,
                     const SettingValue& value);

}  // namespace pagorin
