// Names kept one after another in one string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pagorin {

// Ten thousand names cost two allocations, and looking through them steps
// through memory in order: on a busy machine each step to a name of its own
// may cost a microsecond.
class NameList {
 public:
  void reserve(std::size_t count) { ends_.reserve(count); }
  void Add(std::string_view name) {
    names_ += name;
    ends_.push_back(names_.size());
  }
  std::size_t size() const { return ends_.size(); }
  std::string_view at(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(names_).substr(start, ends_[i] - start);
  }

 private:
  std::string names_;
  std::vector<std::size_t> ends_;  // where each name ends in names_
};

}  // namespace pagorin
