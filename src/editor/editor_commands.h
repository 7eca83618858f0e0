// The template editor's commands that work on text alone: the snippet
// buttons, the colour palette, the tag count report, the snippets for
// dropped files, the table builder's markup and which file a double-click
// on a coloured name opens.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "editor/markup_colouring.h"

namespace pagorin {

// A snippet button (cmdFormat): replaces the selection by before +
// selection + after.
struct Snippet {
  const char* caption;
  const char* before;
  const char* after;
  const char* tooltip;  // empty for none
};
inline constexpr std::size_t kSnippetCount = 21;
extern const std::array<Snippet, kSnippetCount> kSnippets;

inline constexpr const char* kSnippetHint =
    "If you highlight text before clicking one of these buttons, the tags will be placed around "
    "the text.";

// The palette swatches (picColour) and what a swatch puts before the
// selection: "<font color = '#RRGGBB'>"; after it comes kPaletteAfter.
inline constexpr std::size_t kPaletteCount = 12;
extern const std::array<Rgb, kPaletteCount> kPalette;
std::string PaletteBefore(const Rgb& colour);
inline constexpr const char* kPaletteAfter = "</font>";

// The text the include picker inserts before the selection for the chosen
// file: its name alone when it lies in the project's Includes folder
// (compared ignoring letter case and separators' kind), else its full path.
std::string PickedInclude(const std::string& chosen_file, const std::string& includes_dir);

// Five lines, each ending in CR LF, comparing the counts of opening and
// closing table, row, cell, link and paragraph tags.
std::string TagCountReport(std::string_view text);

// What dropping the file `path` inserts: an image tag for .jpg, .png, .gif
// and names without an extension, a link otherwise; the path is relative to
// `project_dir` when the file lies inside it, with "/" separators.
std::string DroppedFileSnippet(std::string_view path, std::string_view project_dir);

// The table builder's markup: the table tag with `table_format`, `rows` rows
// of `cols` cells with `cell_format`, one tag per line (CR LF). Counts are
// read as numbers and rounded; text that is no number counts as 0.
std::string TableString(std::string_view table_format, std::string_view cell_format,
                        std::string_view rows, std::string_view cols);

// The file a double-click at `caret` opens: an include directive in include
// red names a file in the Includes folder (or a full path); a style sheet
// name in pink names a file of the project folder. nullopt for any other
// colour, for the caret at 0, and when no complete directive or quoted name
// surrounds the caret. Both folders end in "/".
std::optional<std::string> FileToOpenAt(std::string_view text, std::size_t caret,
                                        const SpanColour& colour_at_caret,
                                        const std::string& project_dir,
                                        const std::string& includes_dir);

inline constexpr const char* kEditorHelp =
    "Double-click includes or CSS files to edit them. Drag & drop files and images to create "
    "html links at the text insert position.";
inline constexpr const char* kLoseChangesQuestion = "You will lose your changes. Are you sure?";

}  // namespace pagorin
