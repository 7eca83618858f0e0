// A site with an open project for the news tests: items written as the
// Content Creator writes them, list definitions, and the lists read back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/engine.h"
#include "support/test_env.h"

namespace pagorin::testing {

// The site folder is root + "site/" with Templates/ and Includes/; the
// project (site/site.pgx, ProjectPath "./") is open but not yet on disk.
class NewsSiteTest : public ::testing::Test {
 protected:
  NewsSiteTest();

  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }
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
  std::string Ring() const;

  TestEnv t;
  Engine engine{t.env};
};

// What the pagorin executable did when run through the shell.
struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out, err;
};

// Runs `pagorin ARGS` in the test's folder (ARGS quoted for the shell as
// needed) at `source_date_epoch`, with the program folders inside the test's.
ProgramRun RunPagorin(const TestEnv& t, const std::string& args,
                      const std::string& source_date_epoch = "1709822100");

}  // namespace pagorin::testing
