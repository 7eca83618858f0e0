// News items and news lists: three items whose content includes are the
// first three parts (the marker comments of title, date, story and tags),
// and one list definition made of the next four (outer template, item
// template, tags, item count). Every list is written, whatever the items
// and the definition hold.
#include <filesystem>

#include "fuzz_env.h"
#include "fuzz_input.h"
#include "news/news_summaries.h"
#include "shared/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  const std::vector<std::string> parts = fuzz::Parts(data, size, 7);
  fuzz::FuzzEnv t;
  const std::string site = t.Path("site/");
  std::filesystem::create_directories(site + "Includes");
  for (int number = 1; number <= 3; ++number) {
    // Only the names are taken from the disk; the reader gives the texts.
    t.WriteFile(site + "Templates/news000" + std::to_string(number) + ".template", "");
  }
  const NewsFileReader read = [&parts](const std::string& path) -> std::string {
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.starts_with("news000") && name.ends_with(".template")) {
      return "<p>[include=content_" + name.substr(0, 8) + ".inc]</p>";
    }
    if (name.starts_with("content_news000") && name.size() > 15 && name[15] >= '1' &&
        name[15] <= '3') {
      return parts[static_cast<std::size_t>(name[15] - '1')];
    }
    return "";
  };
  t.WriteFile(site + "outer.txt", parts[3]);
  t.WriteFile(site + "inner.txt", parts[4]);
  cSHAREDSettings project(t.env);
  project.AddToSet("GEN_INCFILE", "list.inc");
  project.AddToSet("GEN_OUTER", "outer.txt");
  project.AddToSet("GEN_INNER", "inner.txt");
  project.AddToSet("GEN_TAGS", parts[5]);
  project.AddToSet("GEN_COUNT", parts[6]);

  FUZZ_CHECK(GenerateNewsSummaries(t.env, project, site, read).empty());
  return 0;
}
