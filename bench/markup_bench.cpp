// Times the editor's colouring (UpdateMarkup) on templates of 1 MB and
// 10 MB made of the Sample's templates and includes repeated, and shows how
// the time grows with the size.
//
//   markup_bench [sample folder]
//
// Each size is coloured five times; the best time counts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "editor/markup_colouring.h"
#include "editor/markup_runs.h"

namespace {

std::string SampleMarkup(const std::filesystem::path& sample) {
  std::string markup;
  for (const char* folder : {"Templates", "Includes"}) {
    for (const auto& entry : std::filesystem::directory_iterator(sample / folder)) {
      if (entry.is_regular_file()) {
        std::ifstream in(entry.path(), std::ios::binary);
        markup.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      }
    }
  }
  return markup;
}

struct Timing {
  double markup_ms;
  double flatten_ms;
  std::size_t spans;
  std::size_t runs;
};

Timing Time(const std::string& text) {
  Timing best{1e300, 1e300, 0, 0};
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const pagorin::Markup markup = pagorin::UpdateMarkup(text);
    const auto coloured = std::chrono::steady_clock::now();
    const std::vector<pagorin::StyleRun> runs = pagorin::FlattenSpans(markup.spans);
    const auto flattened = std::chrono::steady_clock::now();
    best.markup_ms = std::min(best.markup_ms,
                              std::chrono::duration<double, std::milli>(coloured - start).count());
    best.flatten_ms = std::min(
        best.flatten_ms, std::chrono::duration<double, std::milli>(flattened - coloured).count());
    best.spans = markup.spans.size();
    best.runs = runs.size();
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path sample = argc > 1 ? argv[1] : PAGORIN_SOURCE_DIR "/Sample";
  const std::string unit = SampleMarkup(sample);
  if (unit.empty()) {
    std::fprintf(stderr, "markup_bench: no markup found in %s\n", sample.c_str());
    return 1;
  }
  double one_mb_ms = 0;
  for (const std::size_t megabytes : {1, 10}) {
    std::string text;
    while (text.size() < megabytes * 1000000) {
      text += unit;
    }
    text.resize(megabytes * 1000000);
    const Timing timing = Time(text);
    if (megabytes == 1) {
      one_mb_ms = timing.markup_ms;
    }
    std::printf("%2zu MB: UpdateMarkup %8.1f ms (%zu spans), resolving them %8.1f ms (%zu runs)\n",
                megabytes, timing.markup_ms, timing.spans, timing.flatten_ms, timing.runs);
    if (megabytes == 10) {
      std::printf("growth from 1 to 10 MB: %.1fx\n", timing.markup_ms / one_mb_ms);
    }
  }
  return 0;
}
