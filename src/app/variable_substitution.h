// Variable substitution: "[name]" in a piece of page text replaced by the
// value of the variable of that name.
#pragma once

#include <string>
#include <string_view>

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
// Writes the result to *out and returns true; returns false, leaving *out
// untouched, when the piece names no defined variable (it stays as it is).
bool SubstituteVariables(std::string_view piece, const TemplateVariables& vars, std::string* out);

}  // namespace pagorin
