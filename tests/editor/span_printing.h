// Spans and runs printed readably in test failures.
#pragma once

#include <ostream>

#include "editor/markup_runs.h"

namespace pagorin {

inline std::ostream& operator<<(std::ostream& out, const SpanColour& colour) {
  if (!colour) {
    return out << "window text";
  }
  return out << "rgb(" << int(colour->red) << "," << int(colour->green) << "," << int(colour->blue)
             << ")";
}

inline void PrintTo(const MarkupSpan& span, std::ostream* out) {
  *out << "{" << span.start << ", " << span.length << ", " << span.colour
       << (span.bold ? ", bold" : "") << (span.underline ? ", underline" : "") << "}";
}

inline void PrintTo(const StyleRun& run, std::ostream* out) {
  *out << "{" << run.start << ", " << run.length << ", " << run.colour << (run.bold ? ", bold" : "")
       << (run.underline ? ", underline" : "") << "}";
}

}  // namespace pagorin
