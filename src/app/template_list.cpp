#include "app/template_list.h"

#include <utility>

namespace pagorin {

void TemplateList::Add(std::string text, std::string tag) {
  entries_.push_back(TemplateEntry{std::move(text), std::move(tag), false});
}

void TemplateList::SetSelected(int position, bool selected) {
  if (position >= 0 && position < count()) {
    entries_[static_cast<size_t>(position)].selected = selected;
  }
}

void TemplateList::SelectOnly(int position) {
  ClearSelection();
  SetSelected(position, true);
}

void TemplateList::ClearSelection() {
  for (TemplateEntry& entry : entries_) {
    entry.selected = false;
  }
}

bool TemplateList::IsSelected(int position) const {
  return position >= 0 && position < count() && entries_[static_cast<size_t>(position)].selected;
}

int TemplateList::FirstSelected() const {
  for (int i = 0; i < count(); ++i) {
    if (entries_[static_cast<size_t>(i)].selected) {
      return i;
    }
  }
  return -1;
}

std::vector<int> TemplateList::SelectedPositions() const {
  std::vector<int> positions;
  for (int i = 0; i < count(); ++i) {
    if (entries_[static_cast<size_t>(i)].selected) {
      positions.push_back(i);
    }
  }
  return positions;
}

}  // namespace pagorin
