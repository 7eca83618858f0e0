// "[var" definitions and the substitution of "[name]": what a page writes.
#include <gtest/gtest.h>

#include "app/build_driver.h"
#include "app/template_variables.h"
#include "support/site_fixture.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

class VariablesTest : public SiteTest {
 protected:
  void SetUp() override { OpenSite(); }

  // The page one template gives in a run of its own.
  std::string Build(const std::string& text) {
    WriteTemplate("page.template", text);
    EXPECT_TRUE(BuildAll());
    return Page("page.html");
  }
};

TEST_F(VariablesTest, OneFileWritesItsDefinedValues) {
  WriteInclude("def.inc", "[var c1=blue]A[c1]");
  WriteInclude("a.inc", "A");
  WriteInclude("[f", "raw name");  // the name ends at the first "]"
  const std::pair<const char*, const char*> cases[] = {
      // Known before and after the definition, in any letter case; no trace left.
      {"[colour] x [var colour=red] [COLOUR]", "red x  red"},
      // Trimmed name and value, upper-cased name, inner blank kept.
      {"[var   my colour  =  dark red  ][My Colour]", "dark red"},
      {"[var e=]<[e]>", "<>"},
      {"[var x=1][var x=2][x]", "2"},
      {"[VAR x=1][Var y=2][x][y]", "12"},
      // Nothing defined, but removed all the same.
      {"a[var colour]b[various]c[colour]", "abc[colour]"},
      // Booleans are written as the store writes them.
      {"[var flag= true ][flag] [var off=FALSE][off] [var word=truer][word]", "True False truer"},
      // Names lose their commas.
      {"[var a,b=1][ab][a,b]", "1[a,b]"},
      // A removed definition may join the text around it into the next one.
      {"[va[var x=1]r y=2][y]", "2"},
      // A value is searched for the names after its own, never before.
      {"[var a=[b][var b=X][a]]", "X"},
      {"[var b=[a][var a=X][b]]", "[a]"},
      // A directive made by a value is only text.
      {"[var v=[include=x][v]]", "[include=x]"},
      // Dollar variables are replaced before definitions are read.
      {"[var u=$PAGEURL][u]", "page.html"},
      // Texts that name no variable stay as they are.
      {"[x] [ ] [] [[x]]", "[x] [ ] [] [[x]]"},
      // A definition in an include counts from where it is included.
      {"[c1]|[include=def.inc]|[c1]", "[c1]|Ablue|blue"},
      // Directive names are never substituted.
      {"[var f=a.inc][include=[f]]", "raw name]"},
  };
  for (const auto& [text, page] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(page, Build(text));
  }
}

TEST_F(VariablesTest, VarWithoutClosingBracketIsLeftAsText) {
  EXPECT_EQ("[x]A[var x=1 and the rest", Build("[x]A[var x=1 and the rest"));
  EXPECT_NE(std::string::npos, t.ReadFile(t.log.LogFilePath())
                                   .find("page.template: \"[var\" without a closing \"]\" is "
                                         "left in the page as text"));
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(VariablesTest, VariablesLastForOneRunOnly) {
  WriteTemplate("a.template", "[var colour=red]");
  WriteTemplate("b.template", "[colour]");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("red", Page("b.html"));

  Select({"b.template"});
  ASSERT_TRUE(BuildPages(engine, /*selected_only=*/true));
  EXPECT_EQ("[colour]", Page("b.html"));
}

// The store keeps its names' places from run to run; a run must still see
// only what it defined, however many names earlier runs left behind.
TEST(TemplateVariablesStore, ARunSeesOnlyItsOwnDefinitionsAndReplaysThemByTheirSlots) {
  TestEnv t;
  TemplateVariables vars(t.env);
  struct Recorder final : TemplateVariables::Observer {
    void LookedUp(std::string_view, const TemplateVariables::Variable*) override {}
    void Defined(const TemplateVariables::Variable& variable,
                 const TemplateVariables::Slot& slot) override {
      definitions.push_back({variable.first, variable.second.text, variable.second.plain, slot});
    }
    std::vector<TemplateVariables::Definition> definitions;
  } recorder;
  vars.Observe(&recorder);
  vars.sSet("long,name", "[x]");
  vars.sSet("b", " TRUE ");
  vars.Observe(nullptr);

  // Enough runs of other names that the store lets the first ones go.
  for (int run = 0; run < 3; ++run) {
    vars.DeleteAllSettings();
    EXPECT_EQ(nullptr, vars.Find("B"));
    EXPECT_EQ(nullptr, vars.Find("LONGNAME"));
    EXPECT_EQ(0, vars.SettingsCount());
    EXPECT_EQ(0u, vars.longest_name());
    for (int i = 0; i < 3000; ++i) {
      vars.sSet("n" + std::to_string(run * 3000 + i), "v");
    }
    EXPECT_EQ(3000, vars.SettingsCount());
  }
  vars.DeleteAllSettings();
  vars.sSet("a", "1");
  for (TemplateVariables::Definition& definition : recorder.definitions) {
    vars.Replay(definition);
  }
  EXPECT_EQ(3, vars.SettingsCount());
  EXPECT_EQ(8u, vars.longest_name());
  ASSERT_NE(nullptr, vars.Find("longname"));
  EXPECT_EQ("[x]", vars.Find("longname")->second.text);
  EXPECT_FALSE(vars.Find("longname")->second.plain);
  ASSERT_NE(nullptr, vars.Find("b"));
  EXPECT_EQ("True", vars.Find("b")->second.text);

  // Made again in the next run, through the renewed slots.
  vars.DeleteAllSettings();
  for (TemplateVariables::Definition& definition : recorder.definitions) {
    vars.Replay(definition);
  }
  EXPECT_EQ(2, vars.SettingsCount());
  EXPECT_EQ(nullptr, vars.Find("A"));
  ASSERT_NE(nullptr, vars.Find("B"));
  EXPECT_EQ("True", vars.Find("B")->second.text);
}

}  // namespace
}  // namespace pagorin::testing
