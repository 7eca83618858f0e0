#include "shared/error_report.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/log.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::TestEnv;

const std::string kHeading = "Error Report: Pagorin " + AppVersion() + ", Linux 6.1";

ErrorReportInput Input(std::string log_text) {
  return ErrorReportInput{"Disk full(61)", std::move(log_text), false, "", "Linux 6.1"};
}

TEST(ErrorReport, LinesOfTheReportWithAndWithoutComment) {
  ErrorReportInput input = Input("log");
  input.user_comment = "while saving";
  EXPECT_EQ(kHeading + "\r\nDisk full(61)\r\n\r\nlog", ErrorReportText(input));
  input.comments_shown = true;
  EXPECT_EQ(kHeading + "\r\nDisk full(61)\r\nwhile saving\r\nlog", ErrorReportText(input));
}

TEST(ErrorReport, MarkerFollowsThe400thCharacterOfLongReports) {
  const size_t bare = ErrorReportText(Input("")).size();
  for (size_t length : {399u, 400u, 401u, 1000u}) {
    std::string log(length - bare, 'a');
    log.back() = 'z';
    const std::string plain = kHeading + "\r\nDisk full(61)\r\n\r\n" + log;
    ASSERT_EQ(length, plain.size());
    const std::string expected =
        length <= 400 ? plain
                      : plain.substr(0, 400) + " *Email will truncate here* " + plain.substr(400);
    EXPECT_EQ(expected, ErrorReportText(Input(log))) << length;
  }
}

TEST(ErrorReport, FullReportIsWrittenToFulllogAndOpened) {
  TestEnv t;
  const std::string expected =
      "If the 'submit report' button doesn't work on your system, open an email to "
      "'bugs@pagorin.example' and paste the following text into it.  Your reports are "
      "appreciated.\r\n" +
      kHeading + "\r\nDisk full(61)\r\n\r\nNo log file";
  ASSERT_EQ("No log file", ReportLogText(t.env));
  EXPECT_EQ(expected, FullReportText(Input(ReportLogText(t.env))));
  ASSERT_TRUE(WriteFullReport(t.env, Input(ReportLogText(t.env))));
  const std::string path = t.paths.data_dir + "fulllog.txt";
  EXPECT_EQ(expected, t.ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{path}, t.ui.opened_documents);

  t.log.LogEvent("Program startup");
  EXPECT_EQ("14:35:00 #1   Program startup\r\n", ReportLogText(t.env));
}

TEST(ErrorReport, MailLinkCarriesSubjectCutBodyAndAttachment) {
  EXPECT_EQ("100%25%20sure%3F%20a%26b%20%23x%0D%0Ay%0Az/é",
            EncodeForMailLink("100% sure? a&b #x\r\ny\nz/é"));
  ErrorReportInput input = Input("L1\r\nL2");
  input.user_comment = "it broke";
  const std::string head = "mailto:bugs@pagorin.example?subject=Bug%20Report%20(Pagorin%20-%20" +
                           AppVersion() + ")&body=";
  const std::string tail =
      "%20(Please%20click%20Attach%20and%20add%20the%20file%20/d/log.txt)"
      "&attachment=\"/d/log.txt\"";
  EXPECT_EQ(head + "Error%20Report:%20Pagorin%20" + AppVersion() +
                ",%20Linux%206.1%0D%0AUser:%20it%20broke%0D%0ADisk%20full(61)%0D%0AL1%0D%0AL2" +
                tail,
            ErrorReportMailLink(input, "/d/log.txt"));

  // Only the first 400 characters go into the body.
  const std::string long_body =
      kHeading + "\r\nUser: \r\nDisk full(61)\r\n" + std::string(1000, 'x');
  EXPECT_EQ(head + EncodeForMailLink(long_body.substr(0, 400)) + tail,
            ErrorReportMailLink(Input(std::string(1000, 'x')), "/d/log.txt"));
}

}  // namespace
}  // namespace pagorin
