// Damaged items, odd folders and failing disks: each is logged, and the
// lists are still written from what could be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "news/news_item.h"
#include "news/news_summaries.h"
#include "news_fixture.h"

namespace pagorin::testing {
namespace {

using Op = FaultyFileSystem::Op;

class NewsBadInput : public NewsSiteTest {};

TEST_F(NewsBadInput, DamagedItemsAreLoggedAndTheListsStillWritten) {
  std::string long_story;
  long_story.reserve(10'000'000);
  while (long_story.size() < 10'000'000) {
    long_story += "lantern <b>wick</b><br>";
  }
  WriteItem(1, "Long", "9:00am, March 1 2024", "", long_story.c_str());
  WriteTemplate("news0002.template", "[include=content_news0002.inc]");
  WriteInclude("content_news0002.inc",
               "<!-- end title -->T<!-- title --><!-- end date -->March 2 2024<!-- date -->");
  WriteItem(3, "Bad date", "32 Foo 2020", "");
  WriteTemplate("news12345.template", "[include=content_news12345.inc]");
  WriteItem(4, "Also", "March 3 2024", "");
  WriteInclude("content_news12345.inc", Include("content_news0004.inc"));
  std::filesystem::remove(Site("Templates/news0004.template"));
  for (int i = 0; i < 10'000; ++i) {
    std::ofstream(Site("Templates/page" + std::to_string(i) + ".template")) << "[include=x.inc]";
  }
  DefineList("all.inc", "[$inner$]", "$NewsNum$ $NewsTitle$: $NewsSummary$;");
  DefineList("count.inc", "[$inner$]", "$NewsNum$;", "", "abc");

  Generate();
  EXPECT_EQ(
      "[0001 Long: lantern wick lantern wick lantern wick lantern wick lantern wick lantern "
      "wick lantern wick lantern wick lantern wick lantern wick [...];"
      "0002 :  [...];0003 Bad date: Story text [...];]",
      List("all.inc"));
  EXPECT_EQ("[]", List("count.inc"));
  EXPECT_EQ(
      "news12345.template has no reference to content_news2345, so it is in no news list(53) in "
      "GenerateNewsSummaries of module frmMain\n"
      "Type mismatch: the date \"32 Foo 2020\" of news0003.template is not a month name, day and "
      "year(13) in GenerateNewsSummaries of module frmMain\n"
      "content_news0002.inc has <!-- title --> without <!-- end title --> after it(5) in "
      "GenerateNewsSummaries of module frmMain\n"
      "content_news0002.inc has <!-- date --> without <!-- end date --> after it(5) in "
      "GenerateNewsSummaries of module frmMain\n"
      "Type mismatch: the item count \"abc\" of news list 2 is not a whole number(13) in "
      "GenerateNewsSummaries of module frmMain\n",
      Ring());
}

TEST_F(NewsBadInput, FilesThatCannotBeReadOrWrittenAreLogged) {
  WriteItem(1, "One", "March 1 2024", "");
  WriteItem(2, "Two", "March 2 2024", "");
  DefineList("first.inc", "[$inner$]", "$NewsNum$;");
  DefineList("second.inc", "[$inner$]", "$NewsNum$;");
  t.fs.FailNth(Op::kRead, 2, FsError::kAccessDenied);  // content_news0002.inc
  t.fs.FailNth(Op::kOpen, 1, FsError::kAccessDenied);  // first.inc
  Generate();
  EXPECT_FALSE(t.Exists(Site("Includes/first.inc")));
  EXPECT_EQ("[0001;0002;]", List("second.inc"));
  EXPECT_EQ(
      "Injected failure(70) in GenerateNewsSummaries of module frmMain\n"
      "Injected failure(70) in WriteTextFile of module FileSubs\n"
      "Can't write the news list " +
          Site("Includes/first.inc") + "(75) in GenerateNewsSummaries of module frmMain\n",
      Ring());
}

TEST_F(NewsBadInput, ListThatLeadsOutOfTheIncludesFolderIsNeverWritten) {
  WriteItem(1, "One", "March 1 2024", "");
  DefineList("../outside.inc", "[$inner$]", "$NewsNum$;");
  DefineList("inside.inc", "[$inner$]", "$NewsNum$;");
  EXPECT_EQ(
      "The news list \"../outside.inc\" leads out of the Includes folder, so it was not "
      "written.",
      GenerateNewsSummaries(t.env, project(), Site()));
  EXPECT_FALSE(t.Exists(Site("outside.inc")));
  EXPECT_EQ("[0001;]", List("inside.inc"));
  EXPECT_EQ(
      "The news list ../outside.inc leads out of the Includes folder(75) in "
      "GenerateNewsSummaries of module frmMain\n",
      Ring());
}

TEST_F(NewsBadInput, TwentyThousandItemsAreReadOnceEach) {
  // Past 9,999 the numbers run again in lettered series (newsa0001 names
  // content_news0001a.inc), as names may only end in four digits.
  const int kItems = 20'000;
  for (int i = 0; i < kItems; ++i) {
    const std::string series = i < 9999 ? "" : std::string(1, char('a' + i / 9999 - 1));
    const std::string number = FourDigits(i % 9999 + 1);
    std::ofstream(Site("Templates/news" + series + number + ".template"))
        << "[include=content_news" << number << series << ".inc]";
    std::ofstream(Site("Includes/content_news" + number + series + ".inc"))
        << "<!-- title -->Item " << i << "<!-- end title --><!-- date -->March " << 1 + i % 28
        << " 2024<!-- end date --><!-- story -->A story<!-- end story -->";
  }
  DefineList("all.inc", "$inner$", "$NewsTitle$;");
  DefineList("latest.inc", "$inner$", "$NewsTitle$ $NewsSummary$;", "", "2");
  Generate();
  EXPECT_EQ(2u * kItems + 4, t.fs.reads().size());
  const std::string all = List("all.inc");
  EXPECT_EQ(static_cast<std::size_t>(kItems), std::count(all.begin(), all.end(), ';'));
  EXPECT_TRUE(all.starts_with("Item 27;Item 55;")) << all.substr(0, 40);
  EXPECT_EQ("Item 27 A story [...];Item 55 A story [...];", List("latest.inc"));
  EXPECT_EQ("", Ring());
}

}  // namespace
}  // namespace pagorin::testing
