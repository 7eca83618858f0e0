// A remote folder listing: cDirItem entries in a cDirList keyed by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/file_system.h"

namespace pagorin {

// One listing entry. The flags come from the attribute bits given to
// cDirList::Add; the times stay at zero when the server does not tell them.
struct cDirItem {
  std::string Filename;
  std::int32_t FileSize = 0;  // the low 32 bits of the size
  TimePoint CreationTime{};
  TimePoint LastAccessTime{};
  TimePoint LastWriteTime{};
  bool ReadOnly = false;
  bool Hidden = false;
  bool System = false;
  bool Directory = false;
  bool Archive = false;
  bool Normal = false;
  bool Temporary = false;
  bool Compressed = false;
  bool Offline = false;
};

// Attribute bits of a listing entry.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeNormal = 0x80;

// Entries in the order they were added; a file name occurs once.
class cDirList {
 public:
  // Adds an entry; an attribute value of 0 counts as a folder. A name that
  // is listed already is not added again, and the result is null.
  cDirItem* Add(std::uint32_t attributes, TimePoint creation, TimePoint last_access,
                TimePoint last_write, std::int32_t size, const std::string& name);
  void Clear() { items_.clear(); }
  // By position from 1, or by file name; null when there is none.
  const cDirItem* Item(int position) const;
  const cDirItem* Item(const std::string& name) const;
  int Count() const { return static_cast<int>(items_.size()); }

  std::vector<cDirItem>::const_iterator begin() const { return items_.begin(); }
  std::vector<cDirItem>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<cDirItem> items_;
};

}  // namespace pagorin
