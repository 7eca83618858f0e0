// The site check on pages written for it: each kind of fault with the exact
// report, the things it must leave alone, the JSON form, and the command
// line on a broken site and on the built Sample.
#include "tools/site_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/program_run.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

constexpr const char* kHead = "<html><head><title>T</title></head><body>\n";

struct PageCase {
  const char* name;
  std::string body;  // after kHead, so its first line is line 2
  std::string report;
};

class SiteCheckTest : public SiteTest {
 protected:
  // Lists one template, p.template, whose page is `page`; style.css and
  // img/a b.png are in the site folder.
  std::string CheckPage(const std::string& page) {
    WriteTemplate("p.template", "");
    t.WriteFile(Site("p.html"), page);
    t.WriteFile(Site("style.css"), "");
    t.WriteFile(Site("img/a b.png"), "");
    OpenSite();
    return CheckReportText(CheckSite(engine));
  }
};

TEST_F(SiteCheckTest, FindsEachKindOfFaultOnItsLine) {
  const std::vector<PageCase> cases = {
      {"links and files that are there or elsewhere",
       "<a href=\"p.html#top\">x</a> <a href=\"/style.css?v=2\">y</a>\n"
       "<img src=\"img/a%20b.png\"><img src=\"./img/../img/a b.png\">\n"
       "<a href=\"http://example.org/n.html\">e</a><a href=\"mailto:a@b.c\">m</a>\n"
       "<a href=\"#x\">h</a><a href=\"//cdn.example.org/x.js\">c</a><a name=\"n\">n</a>\n"
       "<a href=\"javascript:void(0)\">j</a><img src=\"data:image/png;base64,AA\">\n"
       "<link rel=\"alternate\" href=\"feed.xml\"><a href=\"img/\">dir</a>\n",
       "Checked 1 page: nothing broken.\n"},
      {"missing targets, relative and from the root",
       "<p><a href=\"gone.html#top\">a</a>\n<a href=\"/sub/gone.html?q=1\">b</a></p>\n"
       "<img src=\"img/missing.png\"><script src=\"/js/app.js\"></script>\n"
       "<link rel=\"stylesheet\" href=\"print.css\">\n",
       "Checked 1 page: 5 problems.\n"
       "\n"
       "Links to missing files (2):\n"
       "  p.html:2: gone.html#top\n"
       "  p.html:3: /sub/gone.html?q=1\n"
       "\n"
       "Missing images, scripts and style sheets (3):\n"
       "  p.html:4: img/missing.png\n"
       "  p.html:4: /js/app.js\n"
       "  p.html:5: print.css\n"},
      {"unclosed links: at the next link and at the end",
       "<p><a href=\"p.html\">one\n<a href=\"style.css\">two</a>\n"
       "<A HREF=\"p.html\"><b>three</b></a >\n<a href=\"p.html\">four\n",
       "Checked 1 page: 2 problems.\n"
       "\n"
       "Links without </a> (2):\n"
       "  p.html:2: <a href=\"p.html\">\n"
       "  p.html:5: <a href=\"p.html\">\n"},
      {"text the build left",
       "<p>Menu: [include=menu.inc]</p>\n<p>\nBy [author], [var since=2001]\n</p>\n"
       "<img src=\"style.css\" alt=\"[include=alt.inc]\">\n",
       "Checked 1 page: 4 problems.\n"
       "\n"
       "Text the build left unexpanded (4):\n"
       "  p.html:2: [include=menu.inc]\n"
       "  p.html:4: [author]\n"
       "  p.html:4: [var since=2001]\n"
       "  p.html:6: [include=alt.inc]\n"},
      {"brackets that are no variable",
       "<p>See [1] and [ note ] and [a b] and [2nd] and a[i]</p>\n"
       "<script>var x = list[i]; y = m[key];</script><style>a[href] {}</style>\n",
       "Checked 1 page: nothing broken.\n"},
  };
  for (const PageCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.report, CheckPage(kHead + c.body));
  }
}

TEST_F(SiteCheckTest, TitlesDescriptionsAndPagesNotBuilt) {
  WriteTemplate("a.template", "");
  WriteTemplate("b.template", "");
  WriteTemplate("c.template", "");
  WriteTemplate("d.template", "");
  WriteTemplate("e.template", "");
  WriteTemplate("feed.template", "");
  t.WriteFile(Site("a.html"),
              "<html><head><title>A</title>\n<meta name=\"description\" content=\"Tides\">"
              "</head></html>");
  t.WriteFile(Site("b.html"),
              "<html><head>\n<title> </title>\n<META NAME=\"Description\" CONTENT=\" Tides \">"
              "</head></html>");
  t.WriteFile(Site("c.html"), "<p>no head at all</p>");
  t.WriteFile(Site("e.html"), "");
  t.WriteFile(Site("feed.xml"), "<rss><channel>[author]</channel></rss>");
  OpenSite({"EXT_FEED,.xml"});
  EXPECT_EQ(
      "Checked 4 pages: 5 problems.\n"
      "\n"
      "Pages not built (1):\n"
      "  d.html: from d.template\n"
      "\n"
      "Pages without a title (3):\n"
      "  b.html:1: no title\n"
      "  c.html:1: no title\n"
      "  e.html:1: no title\n"
      "\n"
      "Descriptions shared with another page (1):\n"
      "  b.html:3: \"Tides\" as in a.html:2\n",
      CheckReportText(CheckSite(engine)));
}

TEST_F(SiteCheckTest, JsonFormEscapesItsTexts) {
  WriteTemplate("p.template", "");
  t.WriteFile(Site("p.html"),
              "<html><head></head><body><a href=\"a\\b&quot;c.html\">x</a></body></html>");
  OpenSite();
  EXPECT_EQ(
      "{\"pages\":1,\"problems\":2,\"findings\":["
      "{\"kind\":\"missing-link\",\"file\":\"p.html\",\"line\":1,\"text\":\"a\\\\b\\\"c.html\"},"
      "{\"kind\":\"no-title\",\"file\":\"p.html\",\"line\":1,\"text\":\"no title\"}]}\n",
      CheckReportJson(CheckSite(engine)));
  EXPECT_EQ("{\"pages\":0,\"problems\":0,\"findings\":[]}\n", CheckReportJson(CheckReport{}));
}

TEST(SiteCheckCommand, ExitStatusesAndForms) {
  TestEnv t;
  t.WriteFile(t.Path("site/site.pgx"), "PROJECTPATH,./\r\n");
  t.WriteFile(t.Path("site/Templates/p.template"), "");
  t.WriteFile(t.Path("site/p.html"), "<title>P</title><a href=\"q.html\">q</a>");
  RunSteps(
      t, {
             {"check site/site.pgx",
              {1, "Checked 1 page: 1 problem.\n\nLinks to missing files (1):\n  p.html:1: q.html\n",
               ""}},
             {"check site/site.pgx --json",
              {1,
               "{\"pages\":1,\"problems\":1,\"findings\":[{\"kind\":\"missing-link\",\"file\":"
               "\"p.html\",\"line\":1,\"text\":\"q.html\"}]}\n",
               ""}},
         });
  t.WriteFile(t.Path("site/q.html"), "");
  EXPECT_EQ(0, RunPagorin(t, "check site/site.pgx").status);
}

TEST(SiteCheckCommand, BuiltSampleHasNothingBrokenAndABuildCanEndWithTheCheck) {
  TestEnv t;
  std::filesystem::copy(PAGORIN_SOURCE_DIR "/Sample", t.Path("Sample"),
                        std::filesystem::copy_options::recursive);
  ASSERT_EQ(0, RunPagorin(t, "/AUTO Sample/Sample.pgx").status);
  const ProgramRun clean = RunPagorin(t, "check Sample/Sample.pgx");
  EXPECT_EQ(0, clean.status);
  EXPECT_EQ("Checked 11 pages: nothing broken.\n", clean.out);
  EXPECT_EQ("", clean.err);

  // The build itself reports a broken site when the project asks for the check.
  t.WriteFile(t.Path("Sample/Sample.pgx"),
              t.ReadFile(t.Path("Sample/Sample.pgx")) + "CHECKAFTERBUILD,True\r\n");
  EXPECT_EQ(0, RunPagorin(t, "/AUTO Sample/Sample.pgx").status);
  std::filesystem::remove(t.Path("Sample/style.css"));
  const ProgramRun broken = RunPagorin(t, "/AUTO Sample/Sample.pgx");
  EXPECT_EQ(1, broken.status);
  EXPECT_EQ("", broken.out);
  std::string report =
      "pagorin: Checked 11 pages: 11 problems.\n\nMissing images, scripts and style sheets (11):\n";
  for (const char* page :
       {"about.html", "download.html", "faq.htm", "index.html", "news.html", "news0000.html",
        "news0001.html", "news0002.html", "news0003.html", "news0004.html", "news0005.html"}) {
    report += "  " + std::string(page) + ":9: style.css\n";
  }
  EXPECT_EQ(report, broken.err);
}

}  // namespace
}  // namespace pagorin::testing
