// The text steps of the compiler that need no files: the title, dollar
// variables and "[var" definitions of one file's text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/template_variables.h"

namespace pagorin {

// The part of `text` from the first `start` marker up to the first `end`
// marker at or after it, with every occurrence of either marker removed
// (letter case ignored throughout); empty when either marker is missing.
// Nothing is trimmed.
std::string GetBetween(std::string_view text, std::string_view start, std::string_view end);

// The dollar variables, in the order in which they are replaced.
enum class DollarVariable {
  kGenerator,         // $GENERATOR: "Pagorin " + version
  kAuthor,            // $AUTHOR: "Pagorin User"
  kFileCreate,        // $FILECREATE: the file's date, "YYYYMMDD;HHMM0000"
  kFileChange,        // $FILECHANGE: now, the same form
  kShortDate,         // $SHORTDATE: now, "D/MMM/YYYY"
  kLongDate,          // $LONGDATE: now, "MMMM D, YYYY"
  kBaseUrl,           // $BASEURL
  kPageUrl,           // $PAGEURL: the page's file name
  kEncodedPageTitle,  // $ENCODEDPAGETITLE: the title, blanks as "%20"
};

// Replaces each dollar variable in the order above, every occurrence, exact
// letter case; each runs over the text the previous ones left, so a value
// holding the name of a later variable has that name replaced too. `value`
// is asked only for the variables the text holds when their turn comes.
void ReplaceDollarVariables(std::string& text,
                            const std::function<std::string(DollarVariable)>& value);

// Stores every "[var name=value]" definition of `text` in `vars` and removes
// it (brackets included) from the text, from the first one on, as if the
// text were searched from its start again after each removal — so the text
// on both sides of a removed definition may form the next one. Name and
// value are trimmed of blanks; a bracketed text starting with "[var" that
// has no blank, or no "=" after it, defines nothing but is removed all the
// same.
//
// A "[var" with no "]" anywhere after it can never be complete: it and the
// rest of the text are left as they are, and the result is false.
bool TakeDefinitions(std::string& text, TemplateVariables& vars);

}  // namespace pagorin
