#include "shared/locale_facts.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::TestEnv;

TEST(LocaleFacts, ProbeGivesPatternSeparatorAndFullFormat) {
  const struct {
    const char *probe, *date_format, *separator, *full_date_format;
  } cases[] = {
      {"12/25/2001", "MM/DD/YYYY", "/", "DD/MMM/YYYY"},
      {"25.12.2001", "DD.MM.YYYY", ".", "DD.MMM.YYYY"},
      {"2001-12-25", "YYYY-MM-DD", "-", "DD-MMM-YYYY"},
      {"25/12/01", "DD/MM/YY", "/", "DD/MMM/YYYY"},
      {"12/25/01", "MM/DD/YY", "/", "DD/MMM/YYYY"},
      {"2001.25.12", "YYYY.DD.MM", ".", "DD.MMM.YYYY"},
  };
  TestEnv t;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.probe);
    LocaleFacts facts(t.log, c.probe);
    EXPECT_EQ(c.date_format, facts.DateFormat());
    EXPECT_EQ(c.separator, facts.DateSeparator());
    EXPECT_EQ(c.full_date_format, facts.FullDateFormat());
  }
}

TEST(LocaleFacts, ReportsFiveLinesOnceWhenFirstAsked) {
  TestEnv t;
  LocaleFacts facts(t.log, "25.12.2001");
  EXPECT_FALSE(t.Exists(t.log.LogFilePath()));
  EXPECT_EQ("TRUE", facts.TrueWord());
  EXPECT_EQ("FALSE", facts.FalseWord());
  const std::string at = "14:35:00 #1   ";
  EXPECT_EQ(at + "Date format: DD.MM.YYYY\r\n" + at + "Full date format: DD.MMM.YYYY\r\n" + at +
                "Full date format plus time: DD.MMM.YYYY HH:MM\r\n" + at + "Date separator: .\r\n" +
                at + "True string: TRUE False string: FALSE\r\n",
            t.ReadFile(t.log.LogFilePath()));
}

TEST(LocaleFacts, CLocaleGivesEnglishFacts) {
  TestEnv t;  // the tests run with LC_ALL=C
  EXPECT_EQ("MM/DD/YY", t.locale.DateFormat());
  EXPECT_EQ("March", t.locale.MonthName(3));
  EXPECT_EQ("Dec", t.locale.AbbreviatedMonthName(12));
  EXPECT_EQ("", t.locale.MonthName(0));
  EXPECT_EQ("", t.locale.AbbreviatedMonthName(13));
}

TEST(FormatDate, Tokens) {
  TestEnv t;
  const LocalDateTime when{2024, 3, 7, 14, 35, 9};
  const std::pair<const char*, const char*> cases[] = {
      {"YYYYMMDD", "20240307"},
      {"HHMM0000", "14350000"},
      {"D/MMM/YYYY", "7/Mar/2024"},
      {"MMMM D, YYYY", "March 7, 2024"},
      {"MMM DD, YYYY", "Mar 07, 2024"},
      {"DD/MMM/YYYY HH:MM", "07/Mar/2024 14:35"},
      {"HH MM", "14 03"},
      {"MM/DD/YY", "03/07/24"},
      {"YYYYY", "2024Y"},
      {"x-y: hh", "x-y: hh"},
      {"", ""},
  };
  for (const auto& [pattern, expected] : cases) {
    EXPECT_EQ(expected, FormatDate(when, pattern, t.locale)) << pattern;
  }
}

}  // namespace
}  // namespace pagorin
