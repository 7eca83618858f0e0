// Variable substitution: "[name]" in a piece of page text replaced by the
// value of the variable of that name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/template_variables.h"

namespace pagorin {

// The result is exactly that of walking every stored variable in ascending
// order of name and replacing, letter case ignored, every "[" + name + "]"
// of the piece by the variable's value — so a value inserted for one name is
// searched for the names that come after it, never for those before it — but
// the cost grows with the names the piece actually uses, not with how many
// are defined: the piece is scanned for bracketed texts that could be names,
// and only those are looked up and replaced.
//
// Keeps its working memory from piece to piece, so a page of many pieces
// allocates little. The variables must outlive it.
class VariableSubstituter {
 public:
  explicit VariableSubstituter(const TemplateVariables& vars) : vars_(vars) {}
  VariableSubstituter(const VariableSubstituter&) = delete;
  VariableSubstituter& operator=(const VariableSubstituter&) = delete;

  // Looks for uses of defined variables in `piece`; false when there are
  // none, and the piece stays as it is.
  bool Scan(std::string_view piece);
  // Appends to *out the piece last scanned (passed again) with its uses
  // replaced. Only after a Scan that returned true.
  void AppendReplaced(std::string_view piece, std::string* out);

  // A "[name]" text: its brackets and the variable it names.
  struct Use {
    std::size_t open;   // the "["
    std::size_t close;  // the "]"
    const TemplateVariables::Variable* variable;
  };

 private:
  const TemplateVariables& vars_;
  std::vector<std::size_t> open_brackets_;
  std::vector<Use> uses_;
  bool brackets_alternate_ = true;
};

// The same for a single piece: writes the result to *out and returns true;
// returns false, leaving *out untouched, when the piece names no defined
// variable.
bool SubstituteVariables(std::string_view piece, const TemplateVariables& vars, std::string* out);

}  // namespace pagorin
