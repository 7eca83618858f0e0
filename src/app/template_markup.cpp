#include "app/template_markup.h"

#include <algorithm>
#include <array>
#include <utility>

#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::string_view kDefinition = "[var";

constexpr std::array<std::pair<std::string_view, DollarVariable>, 9> kDollarVariables = {{
    {"$GENERATOR", DollarVariable::kGenerator},
    {"$AUTHOR", DollarVariable::kAuthor},
    {"$FILECREATE", DollarVariable::kFileCreate},
    {"$FILECHANGE", DollarVariable::kFileChange},
    {"$SHORTDATE", DollarVariable::kShortDate},
    {"$LONGDATE", DollarVariable::kLongDate},
    {"$BASEURL", DollarVariable::kBaseUrl},
    {"$PAGEURL", DollarVariable::kPageUrl},
    {"$ENCODEDPAGETITLE", DollarVariable::kEncodedPageTitle},
}};

// Bit i is set when the text holds the name of kDollarVariables[i]; one
// pass over the dollar signs finds them all.
unsigned DollarNamesIn(std::string_view text) {
  unsigned present = 0;
  for (std::size_t at = text.find('$'); at != std::string_view::npos; at = text.find('$', at + 1)) {
    const std::string_view rest = text.substr(at);
    for (std::size_t i = 0; i < kDollarVariables.size(); ++i) {
      if (rest.starts_with(kDollarVariables[i].first)) {
        present |= 1u << i;
      }
    }
  }
  return present;
}

// "[var name=value" (without its "]").
void Define(std::string_view definition, TemplateVariables& vars) {
  const size_t blank = definition.find(' ');
  if (blank == std::string_view::npos) {
    return;
  }
  const std::string_view rest = definition.substr(blank + 1);
  const size_t equals = rest.find('=');
  if (equals == std::string_view::npos) {
    return;
  }
  vars.sSet(TrimView(rest.substr(0, equals)), TrimView(rest.substr(equals + 1)));
}

// Where a "[var" begins that starts within the last three bytes of `kept`
// and goes on in `rest`; npos when there is none.
size_t DefinitionAcrossJoin(const std::string& kept, std::string_view rest) {
  const size_t tail = std::min<size_t>(kept.size(), kDefinition.size() - 1);
  const std::string window =
      kept.substr(kept.size() - tail) + std::string(rest.substr(0, kDefinition.size() - 1));
  const size_t at = FindNoCase(window, kDefinition);
  return at < tail ? kept.size() - tail + at : std::string::npos;
}

}  // namespace

std::string GetBetween(std::string_view text, std::string_view start, std::string_view end) {
  const size_t from = FindNoCase(text, start);
  if (from == std::string_view::npos) {
    return {};
  }
  const size_t to = FindNoCase(text, end, from);
  if (to == std::string_view::npos) {
    return {};
  }
  std::string part(text.substr(from, to - from));
  replacewith(part, start, "");
  replacewith(part, end, "");
  return part;
}

void ReplaceDollarVariables(std::string& text,
                            const std::function<std::string(DollarVariable)>& value) {
  unsigned present = DollarNamesIn(text);
  for (std::size_t i = 0; i < kDollarVariables.size() && present != 0; ++i) {
    if ((present & (1u << i)) != 0) {
      replacewith_nc(text, kDollarVariables[i].first, value(kDollarVariables[i].second));
      // The value may hold names of its own, or join with the text around it.
      present = DollarNamesIn(text) & ~((2u << i) - 1);
    }
  }
}

bool TakeDefinitions(std::string& text, TemplateVariables& vars) {
  if (FindNoCase(text, kDefinition) == std::string::npos) {
    return true;
  }
  // `kept` is the text before the read position with the definitions found
  // so far removed; nothing in it before its last three bytes can begin one.
  std::string kept;
  kept.reserve(text.size());
  const std::string_view source = text;
  size_t read = 0;
  bool after_removal = false;
  bool complete = true;
  for (;;) {
    const std::string_view rest = source.substr(read);
    size_t close = std::string::npos;
    if (after_removal) {
      const size_t joined = DefinitionAcrossJoin(kept, rest);
      if (joined != std::string::npos) {
        close = rest.find(']');
        if (close == std::string_view::npos) {
          complete = false;
          break;
        }
        Define(kept.substr(joined) + std::string(rest.substr(0, close)), vars);
        kept.resize(joined);
        read += close + 1;
        continue;
      }
    }
    const size_t open = FindNoCase(source, kDefinition, read);
    if (open == std::string::npos) {
      break;
    }
    close = source.find(']', open);
    if (close == std::string::npos) {
      complete = false;
      break;
    }
    kept.append(source.substr(read, open - read));
    Define(source.substr(open, close - open), vars);
    read = close + 1;
    after_removal = true;
  }
  kept.append(source.substr(read));
  text = std::move(kept);
  return complete;
}

}  // namespace pagorin
