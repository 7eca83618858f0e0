#include "app/template_variables.h"

#include <algorithm>
#include <cstdint>

#include "app/build_limits.h"
#include "shared/locale_facts.h"
#include "shared/text.h"

namespace pagorin {

namespace {

// Upper-cased, without commas: the name as the store keeps it.
std::string StoredName(std::string_view name) {
  std::string stored;
  stored.reserve(name.size());
  for (const char c : name) {
    if (c != ',') {
      stored += ToUpperAscii(c);
    }
  }
  return stored;
}

}  // namespace

std::size_t TemplateVariables::FoldedHash::operator()(std::string_view text) const {
  // FNV-1a over the upper-cased bytes.
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(ToUpperAscii(c))) * 1099511628211ull;
  }
  return static_cast<std::size_t>(hash);
}

bool TemplateVariables::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return EqualsNoCase(a, b);
}

void TemplateVariables::sSet(std::string_view name, std::string_view value) {
  if (observer_ != nullptr) {
    observer_->Defined(name, value);
  }
  std::string_view text = value;
  const std::string_view word = TrimView(value);
  if (EqualsNoCase(word, "FALSE") || EqualsNoCase(word, env_.locale.FalseWord())) {
    text = "False";
  } else if (EqualsNoCase(word, "TRUE") || EqualsNoCase(word, env_.locale.TrueWord())) {
    text = "True";
  }
  const bool plain =
      text.find('[') == std::string_view::npos && text.find(']') == std::string_view::npos;
  // A name without commas is found as it stands; the hash folds its case.
  const bool comma_free = name.find(',') == std::string_view::npos;
  if (auto known = comma_free ? variables_.find(name) : variables_.find(StoredName(name));
      known != variables_.end()) {
    known->second.text.assign(text);
    known->second.plain = plain;
    return;
  }
  if (variables_.size() >= kMaxVariables) {
    throw BuildLimitExceeded("More than " + std::to_string(kMaxVariables) +
                             " variables are defined in one build");
  }
  std::string key = StoredName(name);
  longest_name_ = std::max(longest_name_, key.size());
  variables_.emplace(std::move(key), Value{std::string(text), plain});
}

void TemplateVariables::DeleteAllSettings() {
  variables_.clear();
  longest_name_ = 0;
}

const TemplateVariables::Variable* TemplateVariables::Find(std::string_view text) const {
  if (text.size() > longest_name_) {
    return nullptr;
  }
  const auto found = variables_.find(text);
  const Variable* variable = found == variables_.end() ? nullptr : &*found;
  if (observer_ != nullptr) {
    observer_->LookedUp(text, variable);
  }
  return variable;
}

std::string TemplateVariables::sGet(std::string_view name) const {
  const auto found = variables_.find(StoredName(name));
  return found == variables_.end() ? std::string() : found->second.text;
}

std::vector<std::string> TemplateVariables::SortedNames() const {
  std::vector<std::string> names;
  names.reserve(variables_.size());
  for (const Variable& variable : variables_) {
    names.push_back(variable.first);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace pagorin
