// TemplateVars: the variables that "[var" definitions have defined so far in
// the current build run.
#pragma once

#include <cstddef>
#include <string>

#include "shared/env.h"
#include "shared/settings.h"

namespace pagorin {

// An in-memory settings store, never saved: names are upper-cased and lose
// their commas, they enumerate in ascending order, and a value reading
// "true" or "false" comes back as a boolean. Besides the store it keeps the
// length of the longest name defined, which bounds the text that can name a
// variable.
class TemplateVariables {
 public:
  explicit TemplateVariables(Env& env) : store_(env) {}
  TemplateVariables(const TemplateVariables&) = delete;
  TemplateVariables& operator=(const TemplateVariables&) = delete;

  void sSet(const std::string& name, const std::string& value);
  void DeleteAllSettings();

  const cSHAREDSettings& store() const { return store_; }
  int SettingsCount() const { return store_.SettingsCount(); }
  // Never shorter than the longest name stored.
  std::size_t longest_name() const { return longest_name_; }

 private:
  cSHAREDSettings store_;
  std::size_t longest_name_ = 0;
};

}  // namespace pagorin
