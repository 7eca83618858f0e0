#include "app/variable_substitution.h"

#include <deque>
#include <map>
#include <set>
#include <vector>

#include "shared/text.h"

namespace pagorin {

namespace {

// A bracketed text "[content]" whose content is the name of a stored
// variable; `position` is that variable's 1-based place in the store.
struct Use {
  size_t open;   // the "["
  size_t close;  // the "]"
  int position;
};

// Calls found(use) for every "[" whose text up to the next "]" names a stored
// variable, in order of the "[". A name never holds "]", so the "]" that ends
// a use is the first one after its "["; texts longer than the longest name
// are never looked up, which keeps the scan linear.
template <typename Found>
void ForEachUse(std::string_view text, const TemplateVariables& vars, Found found) {
  const size_t longest = vars.longest_name();
  std::deque<size_t> open_brackets;  // since the last "]", at most longest + 1 back
  std::string upper;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '[') {
      open_brackets.push_back(i);
    } else if (c == ']') {
      for (size_t open : open_brackets) {
        std::string_view content = text.substr(open + 1, i - open - 1);
        if (content.find(',') != std::string_view::npos) {
          continue;  // stored names have lost their commas
        }
        upper.assign(content);
        for (char& letter : upper) {
          letter = ToUpperAscii(letter);
        }
        int position = vars.store().SettingPresent(upper);
        if (position > 0) {
          found(Use{open, i, position});
        }
      }
      open_brackets.clear();
      continue;
    }
    while (!open_brackets.empty() && i - open_brackets.front() > longest) {
      open_brackets.pop_front();
    }
  }
}

std::string ValueText(const TemplateVariables& vars, int position) {
  return vars.store().RetrieveSetting(vars.store().SettingNameByIndex(position)).Text();
}

// True when no "[" follows another "[" without a "]" between them. In such a
// text uses never overlap, and replacing one by a value without brackets
// keeps the property, so no use can appear or vanish through another.
bool BracketsAlternate(std::string_view text) {
  bool open = false;
  for (char c : text) {
    if (c == '[') {
      if (open) {
        return false;
      }
      open = true;
    } else if (c == ']') {
      open = false;
    }
  }
  return true;
}

// The usual case: every use is replaced once by its value, in one pass.
std::string ReplaceUsesInOnePass(std::string_view piece, const std::vector<Use>& uses,
                                 const std::map<int, std::string>& values) {
  std::string result;
  result.reserve(piece.size());
  size_t from = 0;
  for (const Use& use : uses) {
    result.append(piece.substr(from, use.open - from));
    result.append(values.at(use.position));
    from = use.close + 1;
  }
  result.append(piece.substr(from));
  return result;
}

// Any other case, name by name in store order: a replacement may create uses
// of later names (inside the value, or joined with the text around it) or
// break others, so the text is scanned again after each one.
std::string ReplaceNameByName(std::string_view piece, const TemplateVariables& vars,
                              std::set<int> pending) {
  std::string text(piece);
  while (!pending.empty()) {
    const int position = *pending.begin();
    pending.erase(pending.begin());
    const std::string pattern = "[" + vars.store().SettingNameByIndex(position) + "]";
    if (FindNoCase(text, pattern) == std::string::npos) {
      continue;
    }
    text = ReplaceAll(text, pattern, ValueText(vars, position), /*case_sensitive=*/false);
    ForEachUse(text, vars, [&](const Use& use) {
      if (use.position > position) {
        pending.insert(use.position);
      }
    });
  }
  return text;
}

}  // namespace

bool SubstituteVariables(std::string_view piece, const TemplateVariables& vars, std::string* out) {
  if (vars.SettingsCount() == 0 || piece.find('[') == std::string_view::npos) {
    return false;
  }
  std::vector<Use> uses;
  ForEachUse(piece, vars, [&](const Use& use) { uses.push_back(use); });
  if (uses.empty()) {
    return false;
  }
  std::map<int, std::string> values;
  bool values_plain = true;
  for (const Use& use : uses) {
    auto [it, added] = values.try_emplace(use.position);
    if (added) {
      it->second = ValueText(vars, use.position);
      values_plain = values_plain && it->second.find_first_of("[]") == std::string::npos;
    }
  }
  if (values_plain && BracketsAlternate(piece)) {
    *out = ReplaceUsesInOnePass(piece, uses, values);
  } else {
    std::set<int> pending;
    for (const auto& [position, value] : values) {
      pending.insert(position);
    }
    *out = ReplaceNameByName(piece, vars, std::move(pending));
  }
  return true;
}

}  // namespace pagorin
