#include "editor/markup_runs.h"

#include <algorithm>
#include <queue>

namespace pagorin {

std::vector<StyleRun> FlattenSpans(const std::vector<MarkupSpan>& spans) {
  std::vector<std::size_t> by_start(spans.size());
  std::vector<std::size_t> by_end(spans.size());
  std::vector<std::size_t> bounds;
  bounds.reserve(spans.size() * 2);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    by_start[i] = by_end[i] = i;
    bounds.push_back(spans[i].start);
    bounds.push_back(spans[i].start + spans[i].length);
  }
  std::sort(by_start.begin(), by_start.end(),
            [&](std::size_t a, std::size_t b) { return spans[a].start < spans[b].start; });
  const auto end_of = [&](std::size_t i) { return spans[i].start + spans[i].length; };
  std::sort(by_end.begin(), by_end.end(),
            [&](std::size_t a, std::size_t b) { return end_of(a) < end_of(b); });
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());

  // The spans over the current stretch, latest on top; spans that ended are
  // dropped only when they come to the top.
  std::priority_queue<std::size_t> active;
  std::size_t bold = 0, underline = 0;  // how many active spans switch each on
  std::size_t next_start = 0, next_end = 0;
  std::vector<StyleRun> runs;
  for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
    const std::size_t at = bounds[b];
    for (; next_end < by_end.size() && end_of(by_end[next_end]) <= at; ++next_end) {
      bold -= spans[by_end[next_end]].bold ? 1 : 0;
      underline -= spans[by_end[next_end]].underline ? 1 : 0;
    }
    for (; next_start < by_start.size() && spans[by_start[next_start]].start <= at; ++next_start) {
      active.push(by_start[next_start]);
      bold += spans[by_start[next_start]].bold ? 1 : 0;
      underline += spans[by_start[next_start]].underline ? 1 : 0;
    }
    while (!active.empty() && end_of(active.top()) <= at) {
      active.pop();
    }
    if (active.empty()) {
      continue;
    }
    const StyleRun run{at, bounds[b + 1] - at, spans[active.top()].colour, bold > 0, underline > 0};
    if (!run.colour && !run.bold && !run.underline) {
      continue;
    }
    StyleRun* last = runs.empty() ? nullptr : &runs.back();
    if (last != nullptr && last->start + last->length == at && last->colour == run.colour &&
        last->bold == run.bold && last->underline == run.underline) {
      last->length += run.length;
    } else {
      runs.push_back(run);
    }
  }
  return runs;
}

const StyleRun* StyleAt(const std::vector<StyleRun>& runs, std::size_t position) {
  auto after =
      std::upper_bound(runs.begin(), runs.end(), position,
                       [](std::size_t pos, const StyleRun& run) { return pos < run.start; });
  if (after == runs.begin()) {
    return nullptr;
  }
  const StyleRun& run = *(after - 1);
  return position < run.start + run.length ? &run : nullptr;
}

}  // namespace pagorin
