// Times the editor's colouring (UpdateMarkup) on templates of 1 MB and
// 10 MB made of the Sample's templates and includes repeated, and shows how
// the time grows with the size.
//
//   markup_bench [sample folder]
//
// Each size is coloured nine times; the median time counts, which a busy
// machine disturbs less than the best or the mean. It is timed twice: warm
// (the text left in the processor's caches by the round before, where 1 MB
// fits and 10 MB does not) and cold (the caches flushed before every round
// by writing 64 MB elsewhere), which shows the growth of the work itself.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Writing this much memory pushes the text out of every cache level.
void FlushCaches() {
  static std::vector<char> elsewhere(64 << 20);
  for (std::size_t i = 0; i < elsewhere.size(); i += 64) {
    elsewhere[i] = static_cast<char>(elsewhere[i] + 1);
  }
}

Timing Time(const std::string& text, bool cold) {
  constexpr int kRounds = 9;
  Timing timing{0, 0, 0, 0};
  std::vector<double> markup_ms, flatten_ms;
  for (int round = 0; round < kRounds; ++round) {
    if (cold) {
      FlushCaches();
    }
    const auto start = std::chrono::steady_clock::now();
    const pagorin::Markup markup = pagorin::UpdateMarkup(text);
    const auto coloured = std::chrono::steady_clock::now();
    const std::vector<pagorin::StyleRun> runs = pagorin::FlattenSpans(markup.spans);
    const auto flattened = std::chrono::steady_clock::now();
    markup_ms.push_back(std::chrono::duration<double, std::milli>(coloured - start).count());
    flatten_ms.push_back(std::chrono::duration<double, std::milli>(flattened - coloured).count());
    timing.spans = markup.spans.size();
    timing.runs = runs.size();
  }
  timing.markup_ms = Median(markup_ms);
  timing.flatten_ms = Median(flatten_ms);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path sample = argc > 1 ? argv[1] : PAGORIN_SOURCE_DIR "/Sample";
  const std::string unit = SampleMarkup(sample);
  if (unit.empty()) {
    std::fprintf(stderr, "markup_bench: no markup found in %s\n", sample.c_str());
    return 1;
  }
  for (const bool cold : {false, true}) {
    double one_mb_ms = 0;
    for (const std::size_t megabytes : {1, 10}) {
      std::string text;
      while (text.size() < megabytes * 1000000) {
        text += unit;
      }
      text.resize(megabytes * 1000000);
      const Timing timing = Time(text, cold);
      if (megabytes == 1) {
        one_mb_ms = timing.markup_ms;
      }
      std::printf(
          "%s %2zu MB: UpdateMarkup %6.1f ms (%zu spans), resolving them %6.1f ms (%zu runs)\n",
          cold ? "cold" : "warm", megabytes, timing.markup_ms, timing.spans, timing.flatten_ms,
          timing.runs);
      if (megabytes == 10) {
        std::printf("%s growth from 1 to 10 MB: %.1fx\n", cold ? "cold" : "warm",
                    timing.markup_ms / one_mb_ms);
      }
    }
  }
  return 0;
}
