// Numbered sets of the settings store: SET_INDEX and the members SET_1,
// SET_2, ... Every operation walks only the entries that begin with "SET_",
// which sit together in the sorted list, so a damaged counter never makes it
// loop over numbers that have no entry.
#include <algorithm>
#include <limits>
#include <utility>

#include "shared/log.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kModule = "cSHAREDSettings";
constexpr const char* kOverflow = "Overflow(6)";
constexpr std::int64_t kMaxMember = std::numeric_limits<int>::max();
// No real set moves this many members; a larger move means a damaged counter.
constexpr std::int64_t kMaxShift = std::int64_t{1} << 20;

std::string CounterName(const std::string& set) {
  return UCase(set) + "_INDEX";
}
std::string MemberPrefix(const std::string& set) {
  return UCase(set) + "_";
}
std::string MemberName(const std::string& prefix, std::int64_t number) {
  return prefix + std::to_string(number);
}

// The member number an entry name stands for: `prefix` and a decimal number
// without leading zeros ("TAGS_7", not "TAGS_07"); 0 for any other name.
std::int64_t MemberNumber(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) {
    return 0;
  }
  const std::string_view digits = name.substr(prefix.size());
  if (digits.empty() || digits.size() > 10 || digits.front() == '0') {
    return 0;
  }
  std::int64_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      return 0;
    }
    number = number * 10 + (c - '0');
  }
  return number <= kMaxMember ? number : 0;
}

bool ByName(const cSHAREDSetting& a, const cSHAREDSetting& b) {
  return a.KeyName < b.KeyName;
}

}  // namespace

std::pair<std::size_t, std::size_t> cSHAREDSettings::PrefixRange(std::string_view prefix) const {
  const auto first = std::lower_bound(
      entries_.begin(), entries_.end(), prefix,
      [](const cSHAREDSetting& entry, std::string_view wanted) { return entry.KeyName < wanted; });
  auto last = first;
  while (last != entries_.end() && last->KeyName.starts_with(prefix)) {
    ++last;
  }
  return {static_cast<std::size_t>(first - entries_.begin()),
          static_cast<std::size_t>(last - entries_.begin())};
}

std::vector<std::pair<std::int64_t, std::size_t>> cSHAREDSettings::Members(
    std::string_view prefix, std::int64_t low, std::int64_t high) const {
  std::vector<std::pair<std::int64_t, std::size_t>> members;
  const auto [first, last] = PrefixRange(prefix);
  for (std::size_t i = first; i < last; ++i) {
    const std::int64_t number = MemberNumber(entries_[i].KeyName, prefix);
    if (number >= low && number <= high && number > 0) {
      members.emplace_back(number, i);
    }
  }
  return members;
}

int cSHAREDSettings::AddToSet(const std::string& set, const SettingValue& value) {
  const std::string prefix = MemberPrefix(set);
  std::int64_t number = LastIndexInSet(set);
  do {
    if (number >= kMaxMember) {
      env_.log.LogError(kOverflow, "AddToSet", kModule);
      return 0;
    }
    ++number;
    StoreSetting(CounterName(set), SettingValue(number));
  } while (SettingPresent(MemberName(prefix, number)) > 0);
  StoreSetting(MemberName(prefix, number), value);
  return static_cast<int>(number);
}

int cSHAREDSettings::LastIndexInSet(const std::string& set) const {
  return static_cast<int>(
      std::clamp<std::int64_t>(RetrieveSetting(CounterName(set)).AsNumber(0), 0, kMaxMember));
}

bool cSHAREDSettings::ValueInSet(const std::string& set, const std::string& value) const {
  const std::string prefix = MemberPrefix(set);
  for (const auto& [number, position] : Members(prefix, 1, LastIndexInSet(set))) {
    if (SetValuesEqual(entries_[position].KeyValue.Text(), value)) {
      return true;
    }
  }
  return false;
}

int cSHAREDSettings::SetCount(const std::string& set) const {
  return static_cast<int>(Members(MemberPrefix(set), 1, LastIndexInSet(set)).size());
}

void cSHAREDSettings::DeleteFromSetByValue(const std::string& set, const std::string& value) {
  const std::string prefix = MemberPrefix(set);
  std::int64_t lowest = 0;
  for (const auto& [number, position] : Members(prefix, 1, LastIndexInSet(set))) {
    if ((lowest == 0 || number < lowest) &&
        SetValuesEqual(entries_[position].KeyValue.Text(), value)) {
      lowest = number;
    }
  }
  if (lowest > 0) {
    DeleteFromSetByIndex(set, static_cast<int>(lowest));
  }
}

void cSHAREDSettings::DeleteFromSetByIndex(const std::string& set, int index) {
  const std::string prefix = MemberPrefix(set);
  const std::int64_t last = LastIndexInSet(set);
  if (index >= last) {
    DeleteSettingByName(MemberName(prefix, index));
  } else {
    if (last - index > kMaxShift) {
      env_.log.LogError(kOverflow, "DeleteFromSetByIndex", kModule);
      return;
    }
    // Members index+1 .. last move down by one (a missing one as an empty
    // value) and member `last` goes: the set's range of the list is rebuilt
    // in one pass instead of one insertion per number.
    std::vector<SettingValue> moved(static_cast<std::size_t>(last - index));
    const auto [first, end] = PrefixRange(prefix);
    std::vector<cSHAREDSetting> range;
    range.reserve(end - first + moved.size());
    for (std::size_t i = first; i < end; ++i) {
      const std::int64_t number = MemberNumber(entries_[i].KeyName, prefix);
      if (number < index || number > last) {
        range.push_back(std::move(entries_[i]));
      } else if (number > index) {
        moved[static_cast<std::size_t>(number - 1 - index)] = std::move(entries_[i].KeyValue);
      }
    }
    for (std::size_t k = 0; k < moved.size(); ++k) {
      range.push_back(
          {MemberName(prefix, index + static_cast<std::int64_t>(k)), std::move(moved[k])});
    }
    std::sort(range.begin(), range.end(), ByName);
    const auto at = entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(first),
                                   entries_.begin() + static_cast<std::ptrdiff_t>(end));
    entries_.insert(at, std::make_move_iterator(range.begin()),
                    std::make_move_iterator(range.end()));
  }
  StoreSetting(CounterName(set), SettingValue(last - 1));
}

void cSHAREDSettings::DeleteASet(const std::string& set) {
  const std::string prefix = MemberPrefix(set);
  const std::int64_t highest = std::int64_t{SetCount(set)} + 10;
  const auto [first, end] = PrefixRange(prefix);
  const auto begin = entries_.begin() + static_cast<std::ptrdiff_t>(first);
  const auto stop = entries_.begin() + static_cast<std::ptrdiff_t>(end);
  const auto kept = std::remove_if(begin, stop, [&](const cSHAREDSetting& entry) {
    const std::int64_t number = MemberNumber(entry.KeyName, prefix);
    return number >= 1 && number <= highest;
  });
  entries_.erase(kept, stop);
  DeleteSettingByName(CounterName(set));
}

}  // namespace pagorin
