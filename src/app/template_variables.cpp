#include "app/template_variables.h"

#include <algorithm>

namespace pagorin {

void TemplateVariables::sSet(const std::string& name, const std::string& value) {
  store_.sSet(name, value);
  longest_name_ = std::max(longest_name_, name.size());
}

void TemplateVariables::DeleteAllSettings() {
  store_.DeleteAllSettings();
  longest_name_ = 0;
}

}  // namespace pagorin
