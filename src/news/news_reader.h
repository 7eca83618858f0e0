// Finding a site's news items and reading them back from their files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "news/news_item.h"
#include "shared/env.h"

namespace pagorin {

class cSHAREDSettings;

// The items of the site in `site_folder` (ending in "/"), oldest first:
// sorted by date, items of the same date in descending order of their page
// template's name, items without a readable date first of all.
//
// An item is a page template in Templates/ named NewsPrefix (default "news")
// + a number + ".template", the source template NewsPrefix + "0000.template"
// excepted; its values are read from the marker comments of the content
// include its template names ("content_" + NewsPrefix + the four-digit
// number). A template without that reference is no item.
//
// nullopt when the Templates folder holds no ".template" file at all. Never
// throws; failures are logged under "GenerateNewsSummaries" of "frmMain":
// an unreadable file reads as empty, an opening marker without its closing
// marker after it leaves that value empty, a date that cannot be read leaves
// the item undated, and a template whose name does not end in four digits or
// that lacks its content include reference is left out. Cost: linear in the
// size of the files read, plus sorting the names and the items.
//
// The item templates and content includes are read with `read` (whole text;
// empty when missing or unreadable), or with ReadNewsFile when it is empty.
using NewsFileReader = std::function<std::string(const std::string& path)>;
std::optional<std::vector<clsNewsItem>> ReadNewsItems(Env& env,
                                                      const cSHAREDSettings& project_settings,
                                                      const std::string& site_folder,
                                                      const NewsFileReader& read = {});

// Reads a whole file through the disk seam: empty when the file (or a file
// differing only in letter case) does not exist; empty and logged under
// `procedure` of `module` when it cannot be read.
std::string ReadNewsFile(Env& env, const std::string& path, const char* procedure,
                         const char* module);

}  // namespace pagorin
