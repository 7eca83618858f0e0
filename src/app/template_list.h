// The template list of the main window (ListView1) as a model: its entries
// and which of them are selected. The window shows it; the engine fills it.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

// One listed template: `text` is the file name without its last extension
// ("index" for index.template), `tag` the file name without folder
// ("index.template").
struct TemplateEntry {
  std::string text;
  std::string tag;
  bool selected = false;
};

// Entries are kept in the order they were added (the sorted folder listing);
// positions are 0-based. Any number of entries may be selected.
class TemplateList {
 public:
  int count() const { return static_cast<int>(entries_.size()); }
  bool empty() const { return entries_.empty(); }
  const std::vector<TemplateEntry>& entries() const { return entries_; }
  const TemplateEntry& at(int position) const { return entries_.at(position); }

  void Clear() { entries_.clear(); }
  void Add(std::string text, std::string tag);

  // Out-of-range positions are ignored.
  void SetSelected(int position, bool selected);
  void SelectOnly(int position);
  void ClearSelection();
  bool IsSelected(int position) const;
  bool AnySelected() const { return FirstSelected() >= 0; }
  // The first selected position in list order; -1 when none is selected.
  int FirstSelected() const;
  std::vector<int> SelectedPositions() const;

 private:
  std::vector<TemplateEntry> entries_;
};

}  // namespace pagorin
