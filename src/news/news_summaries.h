// Rebuilds the news list includes of a site from the news items on disk.
#pragma once

#include <string>
#include <vector>

#include "news/news_item.h"
#include "news/news_reader.h"
#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

class cSHAREDSettings;

// Writes every news list include that the project's list definitions (the
// GEN_ sets) name, from the items found in site_folder + "Templates/";
// `site_folder` ends in "/". Nothing is written when the Templates folder
// holds no ".template" file or the project has no definitions. A definition
// whose inner (item) template is missing or empty leaves its include alone.
//
// The inner template may also use $NewsTitleXml$, $NewsDateXml$,
// $NewsSummaryXml$ and $NewsTagsXml$ (the values as XML text, for feeds) and
// $NewsPubDate$ (the item's day as feeds write dates).
//
// Never throws and shows nothing: every failure (a file that cannot be read
// or written, a count that is not a number, a damaged item) is logged under
// "GenerateNewsSummaries" of "frmMain", and the lists are still written from
// what could be read. A list that could not be written, or whose include
// name leads out of the Includes folder (never written), is returned: the
// first such as a sentence naming it; empty when every list was written.
// Cost: linear in the items and the text written. `read`, when given, reads
// the items' files (see ReadNewsItems). `same` tells what becomes of a list
// that already holds its text.
std::string GenerateNewsSummaries(Env& env, const cSHAREDSettings& project_settings,
                                  const std::string& site_folder, const NewsFileReader& read = {},
                                  SameText same = SameText::kRewrite);

// One list's text: `inner` filled for each listed item, newest first, with
// nothing between them. `items` are oldest first (as ReadNewsItems gives
// them). With `count` -1 every matching item is listed, otherwise at most
// `count`; items whose tags match none of the comma-separated `tags` (empty
// matches all) are passed over without counting.
std::string NewsListText(const std::vector<clsNewsItem>& items, const std::string& inner,
                         const std::string& tags, std::int64_t count);

}  // namespace pagorin
