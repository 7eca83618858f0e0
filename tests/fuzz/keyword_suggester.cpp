// The keyword suggester and the keyword META tag helpers. The first byte
// picks the character set. The suggestion
// is a comma-separated list of distinct words.
#include <algorithm>
#include <set>

#include "fuzz_input.h"
#include "shared/text.h"
#include "tools/keyword_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  if (size == 0) {
    return 0;
  }
  const Charset charset = (data[0] & 1) != 0 ? Charset::kUtf8 : Charset::kWindows1252;
  const std::string text(fuzz::Text(data + 1, size - 1));

  // Words of four characters and more, each once whatever its letter case.
  const std::string keywords = SuggestKeywords(text, charset);
  std::set<std::string> seen;
  for (std::size_t start = 0; !keywords.empty() && start <= keywords.size();) {
    const std::size_t end = std::min(keywords.find(',', start), keywords.size());
    const std::string_view keyword = std::string_view(keywords).substr(start, end - start);
    FUZZ_CHECK(TrimView(keyword).size() >= 4);
    FUZZ_CHECK(seen.insert(LCase(TrimView(keyword))).second);
    start = end + 1;
  }

  const std::string tidied = TidyKeywordText(text);
  FUZZ_CHECK(tidied.size() <= text.size());
  MetaContentIn(text, "keywords");
  MetaContentIn(text, "description");
  return 0;
}
