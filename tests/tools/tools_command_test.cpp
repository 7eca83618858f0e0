// The maintenance tools from the command line: help, usage errors,
// refusals, and each tool run on a small site, in turn.
#include "tools/tools_command.h"

#include <gtest/gtest.h>

#include "support/program_run.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

std::string Usage(const char* name) {
  for (const ToolCommand& command : ToolCommands()) {
    if (std::string(command.name) == name) {
      return std::string(command.usage) +
             "\nExit status: 0 on success, 1 when the tool refused or failed, 2 for a command\n"
             "line that cannot be used.\n";
    }
  }
  return "";
}

TEST(ToolCommands, HelpAndUsageErrors) {
  TestEnv t;
  t.WriteFile(t.Path("site/site.pgx"), "PROJECTPATH,./\r\n");
  RunSteps(t, {
                  {"keywords --help", {0, Usage("keywords"), ""}},
                  {"replace -h", {0, Usage("replace"), ""}},
                  {"keywords site/site.pgx",
                   {2, "", "pagorin: name the template\n" + Usage("keywords")}},
                  {"meta", {2, "", "pagorin: name the project file\n" + Usage("meta")}},
                  {"tidy-meta a.pgx b.pgx",
                   {2, "", "pagorin: unexpected argument b.pgx\n" + Usage("tidy-meta")}},
                  {"keywords site/site.pgx p --rename",
                   {2, "", "pagorin: --rename goes with --set\n" + Usage("keywords")}},
                  {"replace site/site.pgx --search a",
                   {2, "", "pagorin: --with is missing\n" + Usage("replace")}},
                  {"replace site/site.pgx --with a",
                   {2, "", "pagorin: --search is missing\n" + Usage("replace")}},
                  {"replace site/site.pgx --undo --dry-run",
                   {2, "", "pagorin: --undo takes no other option\n" + Usage("replace")}},
                  {"replace site/site.pgx --search",
                   {2, "", "pagorin: --search needs a value\n" + Usage("replace")}},
                  {"link-titles site/site.pgx --yes",
                   {2, "", "pagorin: unknown option --yes\n" + Usage("link-titles")}},
                  {"link-titles missing.pgx", {1, "", "pagorin: missing.pgx does not exist.\n"}},
                  {"meta site/site.pgx nosuch",
                   {1, "", "pagorin: The project has no template called nosuch.\n"}},
                  {"check --help", {0, Usage("check"), ""}},
                  {"check", {2, "", "pagorin: name the project file\n" + Usage("check")}},
                  {"check site/site.pgx --yes",
                   {2, "", "pagorin: unknown option --yes\n" + Usage("check")}},
                  {"check none.pgx", {1, "", "pagorin: none.pgx does not exist.\n"}},
              });
}

TEST(ToolCommands, EachToolOnASite) {
  TestEnv t;
  t.WriteFile(t.Path("site/site.pgx"), "PROJECTPATH,./\r\n");
  t.WriteFile(t.Path("site/Templates/page.template"),
              "[include=header_page.inc][include=content_page.inc]");
  t.WriteFile(t.Path("site/Includes/header_page.inc"), "<head><title>P</title></head>");
  t.WriteFile(t.Path("site/Includes/content_page.inc"),
              "<p>Garden tools, garden seeds, <a href=t.html>tools</a></p>");
  const std::string tidy_question =
      "pagorin: This will remove spaces in keyword lists. E.g. ebook, book becomes ebook,book. "
      "Proceed?\n";
  const std::string copy_question =
      "pagorin: Copies @@@.template to files from '1.template' up to '40.template', and replaces "
      "any '@@@' in the files with the same number. Go ahead?\n";
  const std::string keyword_tag =
      "\r\n\r\n    <META name=\"keywords\" content=\"Garden,tools\">\r\n";
  RunSteps(t,
           {
               {"keywords site/site.pgx page", {0, "Garden,tools\n", ""}},
               {"keywords site/site.pgx PAGE.template --set", {0, "Garden,tools\n", ""}},
               {"meta site/site.pgx page",
                {0, "Extension: .html\nDescription: \nKeywords: Garden,tools\n", ""}},
               {"tidy-meta site/site.pgx", {1, "", tidy_question}},
               {"tidy-meta site/site.pgx --yes", {0, "", tidy_question}},
               {"replace site/site.pgx --search SEEDS --with bulbs --dry-run",
                {0, "1 file would change:\r\ncontent_page.inc: 1 match\n", ""}},
               {"replace site/site.pgx --search SEEDS --with bulbs",
                {0, "", "pagorin: Replaced data in 1 files\n"}},
               {"replace site/site.pgx --wildcard --search '*s' --with x",
                {1, "", "pagorin: Wildcard cannot be first or last character in search string\n"}},
               {"link-titles site/site.pgx", {0, "", "pagorin: Added titles to links in 1 file\n"}},
               {"copy-renumber site/site.pgx",
                {1, "",
                 "pagorin: You need to create a file called "
                 "@@@.template and place it in " +
                     t.Path("site/") + "\n"}},
           });
  EXPECT_EQ("<head><title>P</title>" + keyword_tag + "</head>",
            t.ReadFile(t.Path("site/Includes/header_page.inc")));
  EXPECT_EQ("<head><title>P</title>" + keyword_tag +
                "</head><p>Garden tools, garden seeds, <a href=t.html>tools</a></p>",
            t.ReadFile(t.Path("site/page.html")));
  EXPECT_EQ("<p>Garden tools, garden bulbs, <a href=t.html title='tools'>tools</a></p>",
            t.ReadFile(t.Path("site/Includes/content_page.inc")));

  t.WriteFile(t.Path("site/@@@.template"), "@@@");
  RunSteps(
      t,
      {
          {"replace site/site.pgx --undo",
           {1, "",
            "pagorin: These files changed after the search and replace run of 2024-03-07 14.35.00, "
            "so they were left as they are:\r\n" +
                t.Path("site/Includes/content_page.inc") +
                "\npagorin: Took back the search and replace run of 2024-03-07 14.35.00: 0 files "
                "restored.\n"}},
          {"replace site/site.pgx --undo",
           {1, "", "pagorin: There is no search and replace run to take back.\n"}},
          {"copy-renumber site/site.pgx", {1, "", copy_question}},
          {"copy-renumber site/site.pgx --yes",
           {1, "",
            copy_question + "pagorin: I can't see " + t.Path("site/content_@@@.inc") + "\n"}},
      });
  EXPECT_EQ("40", t.ReadFile(t.Path("site/40.template")));
}

TEST(ToolCommands, UndoTakesBackAReplaceFromTheCommandLine) {
  TestEnv t;
  t.WriteFile(t.Path("site/site.pgx"), "PROJECTPATH,./\r\nSearchSourcePath,pages\r\n");
  t.WriteFile(t.Path("site/pages/a.htm"), "Old Old");
  RunSteps(t, {
                  {"replace site/site.pgx --search old --with new --folder site/pages",
                   {0, "", "pagorin: Replaced data in 1 files\n"}},
                  {"replace site/site.pgx --undo",
                   {0, "",
                    "pagorin: Took back the search and replace run of 2024-03-07 14.35.00: 1 file "
                    "restored.\n"}},
              });
  EXPECT_EQ("Old Old", t.ReadFile(t.Path("site/pages/a.htm")));
}

}  // namespace
}  // namespace pagorin::testing
