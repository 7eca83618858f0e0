// A site with an open project for the news tests: items written as the
// Content Creator writes them, list definitions, and the lists read back.
#pragma once

#include <string>

#include "support/program_run.h"
#include "support/site_fixture.h"

namespace pagorin::testing {

// The site folder is root + "site/" with Templates/ and Includes/; the
// project (site/site.pgx, ProjectPath "./") is open but not yet on disk.
class NewsSiteTest : public SiteTest {
 protected:
  NewsSiteTest();

  cSHAREDSettings& project() { return engine.ProjectSettings; }

  // Item `number` in the form the Content Creator writes: the page template
  // news<NNNN>.template naming content_news<NNNN>.inc, which holds the four
  // marked values (a value given as nullptr gets no markers at all).
  void WriteItem(int number, const char* title, const char* date, const char* tags,
                 const char* story = "Story text") const;
  // Adds one list definition to the GEN_ sets and writes its two templates
  // (named after the include) into the project folder.
  void DefineList(const std::string& include, const std::string& outer, const std::string& inner,
                  const std::string& tags = "", const std::string& count = "-1");
  // The list's text, after GenerateNewsSummaries ran.
  std::string List(const std::string& include) const {
    return t.ReadFile(Site("Includes/" + include));
  }
  void Generate();
};

}  // namespace pagorin::testing
