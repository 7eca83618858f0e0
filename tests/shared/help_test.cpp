// Help opens the installed manual in the browser, or says why it cannot.
#include "shared/help.h"

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace pagorin::testing {
namespace {

class HelpTest : public ::testing::Test {
 protected:
  HelpTest() { t.paths.installed_dir = t.Path("share/pagorin/"); }
  std::string Manual(const std::string& page) const {
    return t.Path("share/pagorin/manual/") + page;
  }

  TestEnv t;
};

TEST_F(HelpTest, OpensTheTopicsPageOrElseTheFirstPage) {
  t.WriteFile(Manual("index.html"), "<h1>Contents</h1>");
  t.WriteFile(Manual("settings.html"), "<h1>Settings</h1>");
  const struct {
    std::string topic;
    std::string page;
  } cases[] = {
      {"", "index.html"},
      {"settings.html", "settings.html"},
      {"publishing.html", "index.html"},          // no page of its own
      {"../manual/settings.html", "index.html"},  // never a page outside the manual
  };
  for (const auto& c : cases) {
    t.ui.opened_documents.clear();
    ShowHelp(t.env, c.topic);
    EXPECT_EQ(std::vector<std::string>{Manual(c.page)}, t.ui.opened_documents) << c.topic;
  }
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(HelpTest, SaysWhenTheManualCannotBeShown) {
  ShowHelp(t.env, "settings.html");
  t.WriteFile(Manual("index.html"), "<h1>Contents</h1>");
  t.ui.open_succeeds = false;
  ShowHelp(t.env);
  ASSERT_EQ(2u, t.ui.messages.size());
  EXPECT_EQ("The manual is not installed: " + Manual("index.html") + " is missing.",
            t.ui.messages[0].text);
  EXPECT_EQ("No web browser could be started to show the manual, " + Manual("index.html") + ".",
            t.ui.messages[1].text);
  EXPECT_EQ("Help", t.ui.messages[1].title);
  EXPECT_EQ(Icon::kExclamation, t.ui.messages[1].icon);
}

}  // namespace
}  // namespace pagorin::testing
