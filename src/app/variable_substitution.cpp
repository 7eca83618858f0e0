#include "app/variable_substitution.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "app/build_limits.h"
#include "shared/text.h"

namespace pagorin {

namespace {

using Use = VariableSubstituter::Use;
using Variable = TemplateVariables::Variable;

// The position of the next `c` at or after `from`; text.size() when none.
std::size_t Next(std::string_view text, char c, std::size_t from) {
  if (from >= text.size()) {
    return text.size();
  }
  const void* hit = std::memchr(text.data() + from, c, text.size() - from);
  return hit == nullptr ? text.size()
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

// Calls found(use) for every "[" whose text up to a "]" names a stored
// variable, in order of the "[" (then of the "]"). A name never holds "]",
// so the "]" that ends a use is the first one after its "["; texts longer
// than the longest name are never looked up, which keeps the scan linear.
// `opens` is working memory. Returns true when no "[" follows another "["
// without a "]" between them: in such a text uses never overlap, and
// replacing one by a value without brackets keeps the property, so no use
// can appear or vanish through another.
template <typename Found>
bool ForEachUse(std::string_view text, const TemplateVariables& vars,
                std::vector<std::size_t>& opens, Found found) {
  const std::size_t longest = vars.longest_name();
  bool alternate = true;
  opens.clear();
  std::size_t next_open = Next(text, '[', 0);
  std::size_t next_close = Next(text, ']', 0);
  while (next_open < text.size() || next_close < text.size()) {
    if (next_open < next_close) {
      if (!opens.empty()) {
        alternate = false;
      }
      opens.push_back(next_open);
      next_open = Next(text, '[', next_open + 1);
      continue;
    }
    const std::size_t close = next_close;
    // Only the "[" at most `longest` bytes before the "]" can start a name.
    auto open =
        std::lower_bound(opens.begin(), opens.end(), close > longest ? close - longest - 1 : 0);
    for (; open != opens.end(); ++open) {
      const std::string_view content = text.substr(*open + 1, close - *open - 1);
      if (const Variable* variable = vars.Find(content)) {
        found(Use{*open, close, variable});
      }
    }
    opens.clear();
    next_close = Next(text, ']', close + 1);
  }
  return alternate;
}

// A long value used in many places makes a page that no browser shows:
// past kMaxPageBytes the substitution stops before it makes the text.
void CheckGrowth(std::size_t size) {
  if (size > kMaxPageBytes) {
    throw BuildLimitExceeded("Its variables make the page larger than " +
                             std::to_string(kMaxPageBytes >> 20) +
                             " MB (a long value used in many places?)");
  }
}

struct ByName {
  bool operator()(const Variable* a, const Variable* b) const { return a->first < b->first; }
};

// Name by name in ascending order: a replacement may create uses of later
// names (inside the value, or joined with the text around it) or break
// others, so the text is scanned again after each one.
std::string ReplaceNameByName(std::string_view piece, const TemplateVariables& vars,
                              std::set<const Variable*, ByName> pending,
                              std::vector<std::size_t>& opens) {
  std::string text(piece);
  while (!pending.empty()) {
    const Variable* variable = *pending.begin();
    pending.erase(pending.begin());
    const std::string pattern = "[" + variable->first + "]";
    std::size_t uses = 0;
    for (std::size_t at = FindNoCase(text, pattern); at != std::string::npos;
         at = FindNoCase(text, pattern, at + pattern.size())) {
      ++uses;
    }
    if (uses == 0) {
      continue;
    }
    if (variable->second.text.size() > pattern.size()) {
      CheckGrowth(text.size() + uses * (variable->second.text.size() - pattern.size()));
    }
    text = ReplaceAll(text, pattern, variable->second.text, /*case_sensitive=*/false);
    ForEachUse(text, vars, opens, [&](const Use& use) {
      if (variable->first < use.variable->first) {
        pending.insert(use.variable);
      }
    });
  }
  return text;
}

}  // namespace

bool VariableSubstituter::Scan(std::string_view piece) {
  uses_.clear();
  if (vars_.SettingsCount() == 0) {
    return false;
  }
  brackets_alternate_ =
      ForEachUse(piece, vars_, open_brackets_, [this](const Use& use) { uses_.push_back(use); });
  return !uses_.empty();
}

void VariableSubstituter::AppendReplaced(std::string_view piece, std::string* out) {
  const bool values_plain = std::all_of(uses_.begin(), uses_.end(),
                                        [](const Use& use) { return use.variable->second.plain; });
  if (values_plain && brackets_alternate_) {
    // The usual case: every use is replaced once by its value, in one pass.
    std::size_t size = piece.size();
    for (const Use& use : uses_) {
      size += use.variable->second.text.size();
    }
    CheckGrowth(size);
    std::size_t from = 0;
    for (const Use& use : uses_) {
      out->append(piece.substr(from, use.open - from));
      out->append(use.variable->second.text);
      from = use.close + 1;
    }
    out->append(piece.substr(from));
    return;
  }
  std::set<const Variable*, ByName> pending;
  for (const Use& use : uses_) {
    pending.insert(use.variable);
  }
  out->append(ReplaceNameByName(piece, vars_, std::move(pending), open_brackets_));
}

bool SubstituteVariables(std::string_view piece, const TemplateVariables& vars, std::string* out) {
  VariableSubstituter substituter(vars);
  if (!substituter.Scan(piece)) {
    return false;
  }
  out->clear();
  substituter.AppendReplaced(piece, out);
  return true;
}

}  // namespace pagorin
