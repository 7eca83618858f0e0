// The keyword and META tools of the main window: the keyword suggester,
// writing the keywords into a page's header include, showing a page's
// description and keywords, and tidying keyword lists.
//
// They work on the selected template of the list. A page template pulls its
// text from an include named "content_..." and its head from one named
// "header_...". META tags are read and written in exactly the form
//   <META name="NAME" content="VALUE">
// found ignoring letter case up to the content's opening quote; the closing
// quote and ">" must follow directly.
#pragma once

#include <string>
#include <string_view>

#include "shared/charset.h"
#include "shared/env.h"

namespace pagorin {

struct Engine;

// The suggestion for a content include's HTML: its words of four characters
// or more, counted without regard to case and spelled as they first occur,
// those occurring at least twice (once when fewer than two do; three or four
// times when more than 25 do), comma-separated in text order. Empty when the
// text has fewer than two words.
std::string SuggestKeywords(std::string content_html, Charset charset);

// Sgst: txtSuggested becomes the suggestion for the selected template's
// content include (the one its "[include=content_...inc]" names); empty when
// nothing is selected or the template names no content include.
void cmdSuggest(Engine& engine);

// Set Keywords: writes txtSuggested as the keywords META tag of the selected
// template's header include (replacing the content of the tag it has, else
// adding one after "</title>" or before "</head>"). With `rename` the
// include is written as "header_" + the template's name + ".inc" and the
// template is changed to name it; the old include stays. Then builds the
// selected templates and runs ShowDesc. False when a message refused the
// command, a file could not be written or the page could not be built.
bool cmdSetKwd_Click(Engine& engine, bool rename);

// Refreshes txtExt (the selected template's output extension), clears
// txtSuggested and shows the selected page's description and keywords in
// txtDesc and txtKeywords.
void ShowDesc(Engine& engine);

// The content of the META tag `name` in the file `path`; empty when the
// file, the tag or its closing quote is missing.
std::string GetMetaContent(Env& env, const std::string& path, const std::string& name);
// The same for a page's text already read.
std::string MetaContentIn(std::string_view text, const std::string& name);

// The keyword list in `text` with ", " and ".," turned into ",", for the
// first keywords META tag only; `text` unchanged when it has none.
std::string TidyKeywordText(std::string_view text);

// Tidy META Keywords: asks first; on Yes tidies every file of the Templates
// folder, then of the Includes folder. False when the person said No or a
// file could not be written (each such file is told).
bool mnuTidyMeta(Engine& engine);

// Rewrites every file of `folder` that holds a keywords META tag with its
// list tidied (even when that changes nothing). Returns how many files were
// written; those that could not be are added to *failed when it is given.
int TidyKeywordLists(Engine& engine, const std::string& folder, int* failed = nullptr);

}  // namespace pagorin
