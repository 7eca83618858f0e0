// Times the editor's colouring (UpdateMarkup) on templates of 1 MB and
// 10 MB made of the Sample's templates and includes repeated, and shows how
// the time grows with the size.
//
//   markup_bench [sample folder]
//
// Each size is coloured nine times; the median time counts, which a busy
// machine disturbs less than the best or the mean. For comparison, each size
// is also read once by a plain loop that only notes where each "<" is: the
// least any colouring must do. A 100 MB template shows the growth once
// neither text fits the processor's caches.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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
        std::ostringstream bytes;
        bytes << in.rdbuf();
        markup += bytes.str();
      }
    }
  }
  return markup;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

struct Timing {
  double markup_ms = 0;
  double flatten_ms = 0;
  double scan_ms = 0;
  std::size_t spans = 0;
  std::size_t runs = 0;
};

double Ms(std::chrono::steady_clock::duration elapsed) {
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

Timing Time(const std::string& text) {
  constexpr int kRounds = 9;
  Timing timing;
  std::vector<double> markup_ms, flatten_ms, scan_ms;
  for (int round = 0; round < kRounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    std::vector<std::size_t> tags;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '<') {
        tags.push_back(i);
      }
    }
    scan_ms.push_back(Ms(std::chrono::steady_clock::now() - start));

    start = std::chrono::steady_clock::now();
    const pagorin::Markup markup = pagorin::UpdateMarkup(text);
    const auto coloured = std::chrono::steady_clock::now();
    const std::vector<pagorin::StyleRun> runs = pagorin::FlattenSpans(markup.spans);
    flatten_ms.push_back(Ms(std::chrono::steady_clock::now() - coloured));
    markup_ms.push_back(Ms(coloured - start));
    timing.spans = markup.spans.size();
    timing.runs = runs.size();
  }
  timing.markup_ms = Median(markup_ms);
  timing.flatten_ms = Median(flatten_ms);
  timing.scan_ms = Median(scan_ms);
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
  Timing before;
  for (const std::size_t megabytes : {1, 10, 100}) {
    std::string text;
    while (text.size() < megabytes * 1000000) {
      text += unit;
    }
    text.resize(megabytes * 1000000);
    const Timing timing = Time(text);
    std::printf(
        "%3zu MB: UpdateMarkup %7.1f ms (%zu spans); resolving them %7.1f ms; plain scan %7.1f "
        "ms\n",
        megabytes, timing.markup_ms, timing.spans, timing.flatten_ms, timing.scan_ms);
    if (megabytes > 1) {
      std::printf("        growth from %zu MB: UpdateMarkup %.1fx, plain scan %.1fx\n",
                  megabytes / 10, timing.markup_ms / before.markup_ms,
                  timing.scan_ms / before.scan_ms);
    }
    before = timing;
  }
  return 0;
}
