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
  std::string_view text = value;
  const std::string_view word = TrimView(value);
  if (EqualsNoCase(word, "FALSE") || EqualsNoCase(word, env_.locale.FalseWord())) {
    text = "False";
  } else if (EqualsNoCase(word, "TRUE") || EqualsNoCase(word, env_.locale.TrueWord())) {
    text = "True";
  }
  // A name without commas is found as it stands; the hash folds its case.
  const bool comma_free = name.find(',') == std::string_view::npos;
  Variable& variable = comma_free ? Place(name, false) : Place(StoredName(name), true);
  variable.second.text.assign(text);
  variable.second.plain =
      text.find('[') == std::string_view::npos && text.find(']') == std::string_view::npos;
  if (observer_ != nullptr) {
    observer_->Defined(variable, Slot{&variable, names_});
  }
}

void TemplateVariables::Replay(Definition& definition) {
  if (definition.slot.names != names_) {
    definition.slot = Slot{&Place(definition.name, true), names_};
  } else {
    Define(*definition.slot.variable);
  }
  Value& value = definition.slot.variable->second;
  if (value.text != definition.text) {
    value.text = definition.text;
  }
  value.plain = definition.plain;
}

TemplateVariables::Variable& TemplateVariables::Place(std::string_view key, bool key_is_stored) {
  if (const auto known = variables_.find(key); known != variables_.end()) {
    return Define(*known);
  }
  std::string stored = key_is_stored ? std::string(key) : StoredName(key);
  return Define(*variables_.emplace(std::move(stored), Value{}).first);
}

TemplateVariables::Variable& TemplateVariables::Define(Variable& variable) {
  if (Defined(variable)) {
    return variable;
  }
  if (count_ >= kMaxVariables) {
    throw BuildLimitExceeded("More than " + std::to_string(kMaxVariables) +
                             " variables are defined in one build");
  }
  ++count_;
  longest_name_ = std::max(longest_name_, variable.first.size());
  variable.second.run = run_;
  return variable;
}

// Names left over from earlier runs cost memory and nothing else; once
// they outnumber the names in use they are let go.
void TemplateVariables::DeleteAllSettings() {
  if (variables_.size() > 2 * count_ + 1024) {
    variables_.clear();
    ++names_;
  }
  ++run_;
  count_ = 0;
  longest_name_ = 0;
}

const TemplateVariables::Variable* TemplateVariables::Find(std::string_view text) const {
  if (text.size() > longest_name_) {
    return nullptr;
  }
  const auto found = variables_.find(text);
  const Variable* variable = found == variables_.end() || !Defined(*found) ? nullptr : &*found;
  if (observer_ != nullptr) {
    observer_->LookedUp(text, variable);
  }
  return variable;
}

}  // namespace pagorin
