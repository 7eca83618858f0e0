#include "news/news_lists.h"

#include "shared/settings.h"

namespace pagorin {

namespace {

// The five sets, in the order Savelist clears and fills them.
constexpr const char* kSets[] = {"GEN_INCFILE", "GEN_OUTER", "GEN_INNER", "GEN_TAGS", "GEN_COUNT"};

}  // namespace

std::vector<NewsListDefinition> DefaultNewsLists() {
  auto by_tag = [](const char* include, const char* tags, const char* count) {
    return NewsListDefinition{include, "Recent_Newslist.txt", "Newslist_Item.txt", tags, count};
  };
  return {
      {"complete_newslist.inc", "Complete_Newslist.txt", "Newslist_Item.txt", "", "-1"},
      {"recent_newslist.inc", "Recent_Newslist.txt", "Newslist_Item.txt", "", "10"},
      {"recent_newslist2.inc", "Recent_Newslist2.txt", "Recent_Newslist_Item2.txt", "", "10"},
      {"rssfile.inc", "rsstemplate_outer.txt", "rsstemplate_item.txt", "", "10"},
      by_tag("Newslist_Vorn1.inc", "Vorn 1", "15"),
      by_tag("Newslist_Vorn2.inc", "Vorn 2", "15"),
      by_tag("Newslist_Vorn3.inc", "Vorn 3", "15"),
      by_tag("Newslist_Vorn4.inc", "Vorn 4", "15"),
      by_tag("Newslist_Vorn5.inc", "Vorn 5", "15"),
      by_tag("Newslist_Vorn6.inc", "Vorn 6", "15"),
      by_tag("Newslist_Appearance_List.inc", "Appearance", "15"),
      by_tag("Newslist_Appearance_Top.inc", "Appearance", "4"),
      by_tag("Newslist_Vorn_Top.inc", "Vorn", "4"),
  };
}

void Savelist(cSHAREDSettings& project, const std::vector<NewsListDefinition>& rows) {
  for (const char* set : kSets) {
    project.DeleteASet(set);
  }
  for (const NewsListDefinition& row : rows) {
    const std::string* fields[] = {&row.include_file, &row.outer_template, &row.inner_template,
                                   &row.tags, &row.item_count};
    for (int column = 0; column < 5; ++column) {
      project.AddToSet(kSets[column], *fields[column]);
    }
  }
}

std::vector<NewsListDefinition> StoredNewsLists(const cSHAREDSettings& project) {
  const int count = project.SetCount("GEN_INCFILE");
  std::vector<NewsListDefinition> rows(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    auto member = [&](const char* set) {
      return project.RetrieveSetting(std::string(set) + "_" + std::to_string(i)).Text();
    };
    NewsListDefinition& row = rows[static_cast<std::size_t>(i - 1)];
    row = {member(kSets[0]), member(kSets[1]), member(kSets[2]), member(kSets[3]),
           member(kSets[4])};
  }
  return rows;
}

}  // namespace pagorin
