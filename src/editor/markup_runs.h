// The colouring's spans resolved into what each character finally looks
// like, as the text view shows it.
#pragma once

#include <cstddef>
#include <vector>

#include "editor/markup_colouring.h"

namespace pagorin {

// Characters [start, start + length) with one look. Runs never overlap and
// come in text order; characters in no run have the window text colour and
// no bold or underline.
struct StyleRun {
  std::size_t start = 0;
  std::size_t length = 0;
  SpanColour colour;
  bool bold = false;
  bool underline = false;
  bool operator==(const StyleRun&) const = default;
};

// Applies `spans` in order to a text in the window text colour: the last
// span over a character decides its colour; bold and underline are on where
// any span switched them on. Neighbouring runs that look the same are one.
// O(n log n) in the number of spans, whatever their lengths.
std::vector<StyleRun> FlattenSpans(const std::vector<MarkupSpan>& spans);

// The look of the character at `position`: its run, or nullptr for the
// plain window text colour.
const StyleRun* StyleAt(const std::vector<StyleRun>& runs, std::size_t position);

}  // namespace pagorin
