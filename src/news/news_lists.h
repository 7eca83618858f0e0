// The definitions of the news lists a build writes: which include, from which
// outer and item templates, for which tags, how many items.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

class cSHAREDSettings;

// One row of the Content Creator's list of definitions (ListView1). The
// names of the templates are relative to the project folder, the include's
// to the Includes folder.
struct NewsListDefinition {
  std::string include_file;    // "Include filename", set GEN_INCFILE
  std::string outer_template;  // "Outer Template", set GEN_OUTER
  std::string inner_template;  // "Inner Template", set GEN_INNER
  std::string tags;            // "Tags", set GEN_TAGS; comma-separated, empty for all
  std::string item_count;      // "Item Count", set GEN_COUNT; "-1" for every item

  bool operator==(const NewsListDefinition&) const = default;
};

// The thirteen rows every Content Creator starts with: the complete list,
// two recent lists, the RSS fragment and nine lists by tag.
std::vector<NewsListDefinition> DefaultNewsLists();

// Replaces the five GEN_ sets of the project by `rows`, member i of each set
// holding row i. Only the store changes; saving the project file is the
// caller's business. A member that cannot be added (a damaged set counter)
// is logged by the store and the rest are still added.
void Savelist(cSHAREDSettings& project, const std::vector<NewsListDefinition>& rows);

// The rows stored in the project (members 1 .. SetCount of GEN_INCFILE; an
// absent member reads as empty).
std::vector<NewsListDefinition> StoredNewsLists(const cSHAREDSettings& project);

}  // namespace pagorin
