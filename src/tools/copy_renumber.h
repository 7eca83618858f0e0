// Copy and Renumber: numbered copies of a pattern template and its content
// include.
#pragma once

namespace pagorin {

struct Engine;

// The copies of the pattern, n from 1 to 40.
inline constexpr int kFirstCopy = 1;
inline constexpr int kLastCopy = 40;

enum class CopyRenumOutcome {
  kNoPattern,    // @@@.template is missing: a message said where to put it
  kDeclined,     // the person said No
  kPagesOnly,    // the pages were copied; content_@@@.inc is missing (a message said so)
  kCopied,       // the pages and their content includes were copied
  kWriteFailed,  // a copy could not be written (a message said so)
};

// Asks first, then writes @@@.template of the site folder as 1.template to
// 40.template beside it, and content_@@@.inc as content_1.inc to
// content_40.inc, each with every "@@@" (letter case counting) replaced by
// its number. Existing copies are replaced; a copy whose bytes would not
// change is not rewritten.
CopyRenumOutcome cmdCopyRenum(Engine& engine);

}  // namespace pagorin
