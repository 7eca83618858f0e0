#include "news_fixture.h"

#include "news/news_item.h"
#include "news/news_summaries.h"

namespace pagorin::testing {

NewsSiteTest::NewsSiteTest() {
  engine.ProjectFile = Site("site.pgx");
  engine.ProjectLoaded = true;
  project().StoreSetting("ProjectPath", "./");
}

void NewsSiteTest::WriteItem(int number, const char* title, const char* date, const char* tags,
                             const char* story) const {
  const std::string nnnn = FourDigits(number);
  auto marked = [](std::string_view start, const char* value, std::string_view end) {
    return value == nullptr ? std::string() : std::string(start) + value + std::string(end);
  };
  t.WriteFile(Site("Templates/news" + nnnn + ".template"),
              "<html>[include=content_news" + nnnn + ".inc]</html>");
  t.WriteFile(Site("Includes/content_news" + nnnn + ".inc"),
              "<h1>" + marked(kTitleStart, title, kTitleEnd) + "</h1>\r\n<p>" +
                  marked(kDateStart, date, kDateEnd) + "</p>\r\n" +
                  marked(kStoryStart, story, kStoryEnd) + "<!-- num=" + std::to_string(number) +
                  "-->\r\n<p>" + marked(kTagsStart, tags, kTagsEnd) + "</p>");
}

void NewsSiteTest::DefineList(const std::string& include, const std::string& outer,
                              const std::string& inner, const std::string& tags,
                              const std::string& count) {
  const std::string outer_name = include + ".outer.txt", inner_name = include + ".inner.txt";
  t.WriteFile(Site(outer_name), outer);
  t.WriteFile(Site(inner_name), inner);
  project().AddToSet("GEN_INCFILE", include);
  project().AddToSet("GEN_OUTER", outer_name);
  project().AddToSet("GEN_INNER", inner_name);
  project().AddToSet("GEN_TAGS", tags);
  project().AddToSet("GEN_COUNT", count);
}

void NewsSiteTest::Generate() {
  GenerateNewsSummaries(t.env, project(), Site());
}

}  // namespace pagorin::testing
