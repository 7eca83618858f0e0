// The editor's colouring: every span of every pass lies inside the text,
// and the runs made of them cover each character at most once, in order.
#include "editor/markup_colouring.h"

#include "editor/markup_runs.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  const std::vector<std::string> parts = fuzz::Parts(data, size, 3);
  const std::string_view text = parts[0];

  const Markup markup = UpdateMarkup(text);
  for (const MarkupSpan& span : markup.spans) {
    FUZZ_CHECK(span.start <= text.size());
    FUZZ_CHECK(span.length <= text.size() - span.start);
  }
  // Tags of the person's own (the editor's buttons pass fixed ones).
  std::vector<MarkupSpan> own;
  if (!parts[1].empty()) {
    MarkFormatting(text, parts[1], parts[2], kItalicGreen, true, false, own);
    CountTags(text, parts[1]);
  }
  for (const MarkupSpan& span : own) {
    FUZZ_CHECK(span.start <= text.size() && span.length <= text.size() - span.start);
  }

  const std::vector<StyleRun> runs = FlattenSpans(markup.spans);
  std::size_t end = 0;
  for (const StyleRun& run : runs) {
    FUZZ_CHECK(run.start >= end && run.length > 0);
    end = run.start + run.length;
    FUZZ_CHECK(end <= text.size());
    FUZZ_CHECK(StyleAt(runs, run.start) == &run);
  }
  return 0;
}
