// Search and replace: parts are the text, the search and the replacement.
// Both replaces end (libFuzzer's -timeout catches one that does not) and
// their results have the length their match counts give.
#include "tools/wildcard_replace.h"

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  const std::vector<std::string> parts = fuzz::Parts(data, size, 3);
  const std::string& text = parts[0];
  const std::string& search = parts[1];
  const std::string& replacement = parts[2];

  int matches = -1;
  const std::string plain = ReplacePlain(text, search, replacement, &matches);
  FUZZ_CHECK(matches >= 0);
  const std::size_t count = static_cast<std::size_t>(matches);
  FUZZ_CHECK(count * search.size() <= text.size());
  FUZZ_CHECK(plain.size() + count * search.size() == text.size() + count * replacement.size());

  WildcardParts wildcard;
  if (!SplitWildcards(search, replacement, &wildcard).empty()) {
    return 0;
  }
  matches = -1;
  const std::string replaced = ReplaceWildcard(text, wildcard, &matches);
  FUZZ_CHECK(matches >= 0);
  // A replacement keeps the run and changes only the parts around it.
  const std::size_t growth = wildcard.new_left.size() + wildcard.new_right.size();
  FUZZ_CHECK(replaced.size() <= text.size() + static_cast<std::size_t>(matches) * growth);
  if (matches == 0) {
    FUZZ_CHECK(replaced == text);
  }
  return 0;
}
