#include "publish/c_dir_list.h"

#include <algorithm>

namespace pagorin {

cDirItem* cDirList::Add(std::uint32_t attributes, TimePoint creation, TimePoint last_access,
                        TimePoint last_write, std::int32_t size, const std::string& name) {
  if (Item(name) != nullptr) {
    return nullptr;
  }
  cDirItem item;
  item.Filename = name;
  item.FileSize = size;
  item.CreationTime = creation;
  item.LastAccessTime = last_access;
  item.LastWriteTime = last_write;
  item.ReadOnly = (attributes & 0x1) != 0;
  item.Hidden = (attributes & 0x2) != 0;
  item.System = (attributes & 0x4) != 0;
  item.Directory = attributes == 0 || (attributes & kAttributeDirectory) != 0;
  item.Archive = (attributes & 0x20) != 0;
  item.Normal = (attributes & kAttributeNormal) != 0;
  item.Temporary = (attributes & 0x100) != 0;
  item.Compressed = (attributes & 0x800) != 0;
  item.Offline = (attributes & 0x1000) != 0;
  items_.push_back(std::move(item));
  return &items_.back();
}

const cDirItem* cDirList::Item(int position) const {
  return position >= 1 && position <= Count() ? &items_[position - 1] : nullptr;
}

const cDirItem* cDirList::Item(const std::string& name) const {
  auto found = std::find_if(items_.begin(), items_.end(),
                            [&](const cDirItem& item) { return item.Filename == name; });
  return found == items_.end() ? nullptr : &*found;
}

}  // namespace pagorin
