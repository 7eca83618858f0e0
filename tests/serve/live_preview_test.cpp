// The engine's parts of the main window's live preview: what the server's
// output tells, and the address of the selected page.
#include "serve/live_preview.h"

#include <gtest/gtest.h>

#include <map>

#include "app/engine.h"
#include "app/project.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

TEST(LivePreviewTest, OutputTellsThePortOnceWholeAndTheFirstBuildsEnd) {
  const std::string serving = "Serving /srv/site/ on http://127.0.0.1:40123/ (Ctrl+C ends)\n";
  struct Case {
    std::string output;
    int port;
    bool built;
  };
  const Case cases[] = {
      {"", 0, false},
      {"Serving /srv/site/ on http://127.0.0.1:401", 0, false},
      {"Serving /srv/site/ on http://127.0.0.1:40123", 0, false},
      {serving, 40123, false},
      {serving + "Built the site in 35 ms\n", 40123, true},
      {serving + "The build failed; the browser shows why\n", 40123, true},
      // Only what comes after the server's line is its build.
      {"Built the site in 35 ms\n", 0, false},
      {"/srv/site.pgx does not exist.\n", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    const ServeProgress progress = ReadServeOutput(c.output);
    EXPECT_EQ(c.port, progress.port);
    EXPECT_EQ(c.built, progress.built);
  }
}

TEST(LivePreviewTest, PageAddressIsTheSelectedPageWithItsBytesEscaped) {
  testing::TestEnv t;
  Engine engine(t.env);
  t.WriteFile(t.Path("site/site.pgx"), "EXT_SHOP,.php\r\nPROJECTPATH,./\r\n");
  for (const std::string name :
       {"index.template", "shop.template", "my page.template", "caf\xc3\xa9#1.template"}) {
    t.WriteFile(t.Path("site/Templates/" + name), "<html></html>");
  }
  engine.ProjectFile = t.Path("site/site.pgx");
  ASSERT_TRUE(OpenProject(engine));
  engine.ListView1.ClearSelection();
  EXPECT_EQ(LivePageAddress(engine, 8080), "http://127.0.0.1:8080/");
  const std::map<std::string, std::string> expected = {
      {"index.template", "http://127.0.0.1:8080/index.html"},
      {"shop.template", "http://127.0.0.1:8080/shop.php"},
      {"my page.template", "http://127.0.0.1:8080/my%20page.html"},
      {"caf\xc3\xa9#1.template", "http://127.0.0.1:8080/caf%C3%A9%231.html"},
  };
  ASSERT_EQ(engine.ListView1.count(), 4);
  for (int i = 0; i < engine.ListView1.count(); ++i) {
    SCOPED_TRACE(engine.ListView1.at(i).tag);
    engine.ListView1.SelectOnly(i);
    EXPECT_EQ(LivePageAddress(engine, 8080), expected.at(engine.ListView1.at(i).tag));
  }
}

}  // namespace
}  // namespace pagorin
