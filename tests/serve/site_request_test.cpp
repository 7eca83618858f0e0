// The preview server's pure parts: which file a request path names, the
// content types, the reload script and the page of a failed build.
#include "serve/site_request.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "serve/build_report.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using Verdict = SiteRequest::Verdict;

class SiteRequestTest : public ::testing::Test {
 protected:
  SiteRequestTest() {
    t.WriteFile(Site("index.html"), "home");
    t.WriteFile(Site("news/index.htm"), "news");
    t.WriteFile(Site("style.css"), "css");
    t.WriteFile(Site("Templates/index.template"), "template");
    t.WriteFile(Site("Includes/nav.inc"), "nav");
    t.WriteFile(Site("site.pgx"), "PROJECTPATH,./\r\n");
    t.WriteFile(t.Path("secret.txt"), "outside");
    std::filesystem::create_directories(Site("empty"));
    std::filesystem::create_symlink(t.Path("secret.txt"), Site("leak.txt"));
    std::filesystem::create_symlink(Site("Includes"), Site("parts"));
  }
  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }

  testing::TestEnv t;
};

TEST_F(SiteRequestTest, MapsPathsOntoTheSiteFolderAndRefusesTheRest) {
  struct Case {
    std::string path;
    Verdict verdict;
    std::string file;  // relative to the site folder
    std::string page;  // the same, as the build would name it
  };
  const Case cases[] = {
      {"/", Verdict::kServe, "index.html", "index.html"},
      {"/index.html", Verdict::kServe, "index.html", "index.html"},
      {"//./style.css", Verdict::kServe, "style.css", "style.css"},
      {"/news", Verdict::kServe, "news/index.htm", "news/index.htm"},
      {"/news/", Verdict::kServe, "news/index.htm", "news/index.htm"},
      // Perhaps a page the build has yet to write.
      {"/missing.html", Verdict::kNotFound, "", "missing.html"},
      {"/empty/", Verdict::kNotFound, "", "empty/index.htm"},
      // Leaving the site folder, by name or through a link.
      {"/../secret.txt", Verdict::kForbidden, "", ""},
      {"/news/../../secret.txt", Verdict::kForbidden, "", ""},
      {"/news/../index.html", Verdict::kForbidden, "", ""},
      {"/..", Verdict::kForbidden, "", ""},
      {"/..\\secret.txt", Verdict::kForbidden, "", ""},
      {"/leak.txt", Verdict::kForbidden, "", ""},
      // The sources and the project are no part of the site.
      {"/Templates/index.template", Verdict::kNotFound, "", ""},
      {"/templates/index.template", Verdict::kNotFound, "", ""},
      {"/Includes/nav.inc", Verdict::kNotFound, "", ""},
      {"/INCLUDES/", Verdict::kNotFound, "", ""},
      {"/parts/nav.inc", Verdict::kNotFound, "", ""},
      {"/site.pgx", Verdict::kNotFound, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const SiteRequest request = ResolveSiteRequest(Site(), Site("site.pgx"), c.path);
    EXPECT_EQ(request.verdict, c.verdict);
    const std::string want =
        c.file.empty() ? "" : std::filesystem::canonical(Site(c.file)).string();
    EXPECT_EQ(request.file, want);
    EXPECT_EQ(request.page, c.page.empty() ? "" : Site(c.page));
  }
}

TEST(ContentTypeTest, FollowsTheExtensionInAnyLetterCase) {
  const std::pair<std::string, std::string> cases[] = {
      {"a.html", "text/html"},
      {"a.HTM", "text/html"},
      {"a.css", "text/css"},
      {"a.js", "text/javascript"},
      {"a.png", "image/png"},
      {"a.JPG", "image/jpeg"},
      {"a.jpeg", "image/jpeg"},
      {"a.gif", "image/gif"},
      {"a.svg", "image/svg+xml"},
      {"rss.xml", "application/xml"},
      {"a.txt", "text/plain"},
      {"shop.php", "text/html"},
      {"old.asp", "text/html"},
      {"a.woff2", "font/woff2"},
      {"README", "application/octet-stream"},
      {"a.html.bak", "application/octet-stream"},
  };
  for (const auto& [file, type] : cases) {
    EXPECT_EQ(ContentTypeFor(file), type) << file;
  }
  EXPECT_TRUE(IsServerPage("/x/shop.PHP"));
  EXPECT_TRUE(IsServerPage("old.asp"));
  EXPECT_FALSE(IsServerPage("index.html"));
}

TEST(ReloadScriptTest, GoesBeforeTheLastBodyEndOrAtTheEnd) {
  const std::string script =
      "<script>new EventSource(\"/__pagorin/events?since=7\").addEventListener(\"reload\", "
      "function () { location.reload(); });</script>\n";
  const std::string note =
      "<div style=\"position:fixed;bottom:0;left:0;right:0;padding:4px 8px;"
      "background:#ffd;border-top:1px solid #cc9;font:13px sans-serif;color:#000\">"
      "Preview: the server code of this page did not run.</div>\n";
  const struct {
    std::string html;
    bool server_page;
    std::string want;
  } cases[] = {
      {"<p>a</p></BODY></html>", false, "<p>a</p>" + script + "</BODY></html>"},
      {"<b>no body</b>", false, "<b>no body</b>" + script},
      {"x</body>y</body>z", false, "x</body>y" + script + "</body>z"},
      {"<?php echo 1; ?></body>", true, "<?php echo 1; ?>" + note + script + "</body>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithReloadScript(c.html, 7, c.server_page), c.want) << c.html;
  }
}

TEST_F(SiteRequestTest, NamesTheIncludesFromTheTemplateToTheMissingOne) {
  t.WriteFile(Site("Templates/page.template"), "a[include=head.inc]b[INCLUDE=body.inc]");
  t.WriteFile(Site("Includes/head.inc"), "<title>x</title>");
  t.WriteFile(Site("Includes/body.inc"), "[include=menu.inc]");
  t.WriteFile(Site("Includes/menu.inc"), "[include=gone.inc]");
  const std::string templates = Site("Templates/page.template");
  const struct {
    std::string message, template_path, chain;
  } cases[] = {
      {"gone.inc not found in menu.inc. Please fix and re-run.", templates,
       "page.template > body.inc > menu.inc > gone.inc"},
      {"head2.inc not found in page.template. Please fix and re-run.", templates,
       "page.template > head2.inc"},
      {"gone.inc not found in other.inc. Please fix and re-run.", templates, ""},
      {"a.inc includes itself: page.template > a.inc > a.inc", templates, ""},
      {"gone.inc not found in menu.inc. Please fix and re-run.", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MissingIncludeChain(c.message, c.template_path, Site("Includes/")), c.chain)
        << c.message;
  }
}

TEST(BuildErrorPageTest, ShowsEveryMessageThePageAndTheChainEscaped) {
  EXPECT_EQ(BuildErrorPage({"a<b> not found in c&d.inc", "second"}, "index.html",
                           "index.template > c&d.inc > a<b>"),
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Build failed</title>\n"
            "<style>body{font:15px sans-serif;margin:2em;color:#222}"
            "h1{color:#a00;font-size:1.4em}pre{background:#fee;border:1px solid #d99;"
            "padding:.8em;white-space:pre-wrap}</style></head>\n<body>\n<h1>Build failed</h1>\n"
            "<pre>a&lt;b&gt; not found in c&amp;d.inc</pre>\n<pre>second</pre>\n"
            "<p>While building index.html</p>\n"
            "<p>Includes: index.template &gt; c&amp;d.inc &gt; a&lt;b&gt;</p>\n"
            "<p>The page reloads by itself once the site builds again.</p>\n</body></html>\n");
  EXPECT_EQ(BuildErrorPage({"[var] $x"}, "", ""),
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Build failed</title>\n"
            "<style>body{font:15px sans-serif;margin:2em;color:#222}"
            "h1{color:#a00;font-size:1.4em}pre{background:#fee;border:1px solid #d99;"
            "padding:.8em;white-space:pre-wrap}</style></head>\n<body>\n<h1>Build failed</h1>\n"
            "<pre>&#91;var] &#36;x</pre>\n"
            "<p>The page reloads by itself once the site builds again.</p>\n</body></html>\n");
}

}  // namespace
}  // namespace pagorin
