// Title attributes for the text links of a site's templates and includes.
#pragma once

#include <string>
#include <string_view>

#include "shared/env.h"

namespace pagorin {

struct Engine;

// `text` with " title='...'" added to the opening tag of every "<a href"
// link that has no title yet and whose text holds no image; the title is the
// link text with "<br>" as a blank, reduced to letters, digits and blanks.
// After a link that got a title, the next link is looked for from where its
// "</a>" stood before the title went in. `changed` tells whether any title
// went in.
std::string AddLinkTitlesToText(std::string_view text, bool* changed);

// The same on one file, rewritten (atomically) only when a title went in.
// Failures are logged under "AddLinkTitles" and told. False when the file
// could not be written.
bool AddLinkTitles(Env& env, const std::string& path);

// What Add Titles to Links did.
struct LinkTitlesRun {
  int rewritten = 0;  // files that got titles
  int failed = 0;     // files that needed titles but could not be written (each told)
};
// Add Titles to Links: every template of the Templates folder (.template,
// .asp, .php, .html, .htm), then every .inc of the Includes folder.
LinkTitlesRun mnuAddTitlesToLinks(Engine& engine);

}  // namespace pagorin
