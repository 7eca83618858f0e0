#include "publish/upload_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/build_driver.h"
#include "app/project_settings.h"
#include "publish/upload_fixture.h"
#include "shared/settings.h"

namespace pagorin::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kReminder = "Remember to upload your images, css files, etc.";
constexpr const char* kNoConfiguration =
    "Please specify your FTP configuration on the settings form";

class UploadDriverTest : public UploadTest {};

TEST_F(UploadDriverTest, AllSendsEveryPageThroughATemporaryNameWithItsTextsAndLogLines) {
  WritePages({"a", "b", "c"});
  OpenSite();
  server().files["site/b.html"] = "old b";
  t.ui.QueueAnswer(Answer::kYes);

  const UploadReport report = cmdUpload_Click(engine, 1);

  EXPECT_EQ(report.outcome, UploadOutcome::kComplete);
  EXPECT_EQ(report.sent, 3);
  EXPECT_EQ(t.ui.MessageTexts(), Strings({"About to upload 3 items. Are you sure?", kReminder}));
  EXPECT_EQ(server().calls,
            Strings({"OPEN ftp.example.com web active", "CWD site", "PUT site/.a.html.part ascii",
                     "RENAME site/.a.html.part site/a.html", "PUT site/.b.html.part ascii",
                     "RENAME site/.b.html.part site/b.html", "PUT site/.c.html.part ascii",
                     "RENAME site/.c.html.part site/c.html", "CLOSE"}));
  EXPECT_EQ(server().last_login.password, "secret");
  EXPECT_EQ(server().files,
            (std::map<std::string, std::string>{
                {"site/a.html", "page a"}, {"site/b.html", "page b"}, {"site/c.html", "page c"}}));
  EXPECT_EQ(LogLines(), Strings({"Connecting", "Uploading a.html", "Uploaded a.html",
                                 "Uploading b.html", "Uploaded b.html", "Uploading c.html",
                                 "Uploaded c.html", "All uploads complete"}));
  EXPECT_EQ(Captions(), Strings({"Connecting to FTP server", "Uploading a.html", "Closing file",
                                 "Uploading b.html", "Closing file", "Uploading c.html",
                                 "Closing file", "All Uploads Complete"}));
  EXPECT_EQ(t.ui.controls_enabled, std::vector<bool>({false, true}));
  EXPECT_EQ(t.ui.pointers,
            std::vector<Pointer>({Pointer::kBusyArrow, Pointer::kNormal, Pointer::kNormal}));
  EXPECT_FALSE(engine.upload.running);
  EXPECT_FALSE(engine.upload.upload_failed);
}

TEST_F(UploadDriverTest, RunsThatNeverConnect) {
  struct Case {
    const char* name;
    int index;
    Strings project_changes;
    Strings selected;
    Answer answer;
    UploadOutcome outcome;
    Strings messages;
    Strings captions;
    std::vector<bool> controls;
  };
  const Case cases[] = {
      {"All answered No",
       1,
       {},
       {},
       Answer::kNo,
       UploadOutcome::kNothingToDo,
       {"About to upload 2 items. Are you sure?"},
       {},
       {}},
      {"Selected with nothing selected",
       0,
       {},
       {},
       Answer::kYes,
       UploadOutcome::kNothingToDo,
       {},
       {"Please select one or more files"},
       {false, true}},
      {"no server",
       1,
       {"BASEURL,"},
       {},
       Answer::kYes,
       UploadOutcome::kNotStarted,
       {kNoConfiguration},
       {},
       {}},
      {"no user",
       0,
       {"FTPLOGINNAME,"},
       {"a.template"},
       Answer::kYes,
       UploadOutcome::kNotStarted,
       {kNoConfiguration},
       {},
       {}},
      {"no password",
       1,
       {"FTPPASSWORD,"},
       {},
       Answer::kYes,
       UploadOutcome::kNotStarted,
       {kNoConfiguration},
       {},
       {}},
      {"no remote folder",
       1,
       {"FTPPATH,"},
       {},
       Answer::kYes,
       UploadOutcome::kNotStarted,
       {kNoConfiguration},
       {},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    t.ui = RecordingUi();
    server().calls.clear();
    WritePages({"a", "b"});
    OpenSite(c.project_changes);
    Select(c.selected);
    t.ui.QueueAnswer(c.answer);
    EXPECT_EQ(cmdUpload_Click(engine, c.index).outcome, c.outcome);
    EXPECT_EQ(t.ui.MessageTexts(), c.messages);
    EXPECT_EQ(Captions(), c.captions);
    EXPECT_EQ(t.ui.controls_enabled, c.controls);
    EXPECT_EQ(server().calls, Strings());
  }
}

TEST_F(UploadDriverTest, ConnectionAndFolderFailuresEndTheRunWithTheirTexts) {
  struct Case {
    const char* name;
    const char* verb;
    NetResult failure;
    Strings log;
    Strings captions;
  };
  const Case cases[] = {
      {"nothing listening",
       "OPEN",
       {7, "Couldn't connect to server"},
       {"Connecting", "7 - InternetConnect error code: 7 Message: Couldn't connect to server",
        "Unable to connect"},
       {"Connecting to FTP server",
        "InternetConnect error code: 7 Message: Couldn't connect to server",
        "Could not connect to ftp.example.com"}},
      {"remote folder missing",
       "CWD",
       {9, "550 No such file or directory."},
       {"Connecting",
        "9 - FtpSetCurrentDirectory error code: 9 Message: 550 No such file or directory.",
        "Unable to set remote path"},
       {"Connecting to FTP server",
        "FtpSetCurrentDirectory error code: 9 Message: 550 No such file or directory.",
        "Could not set path to /site/"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server() = ScriptedFtpServer();
    server().folders.insert("site");
    t.ui = RecordingUi();
    server().Fail(c.verb, 1, c.failure);
    WritePages({"a"});
    OpenSite();
    Select({"a.template"});
    EXPECT_EQ(cmdUpload_Click(engine, 0).outcome, UploadOutcome::kNotStarted);
    EXPECT_EQ(LogLines(), c.log);
    EXPECT_EQ(Captions(), c.captions);
    EXPECT_EQ(t.ui.controls_enabled, std::vector<bool>({false, true}));
    EXPECT_EQ(server().files.size(), 0u);
    EXPECT_TRUE(engine.upload.upload_failed);
  }
}

TEST_F(UploadDriverTest, StopWhileTheSecondOfFiveIsSentFinishesItAndSendsNoMore) {
  WritePages({"a", "b", "c", "d", "e"});
  OpenSite();
  server().after_put = [this](const std::string& path) {
    if (path == "site/.b.html.part") {
      cmdStopUpload_Click(engine);
    }
  };
  t.ui.QueueAnswer(Answer::kYes);

  EXPECT_EQ(cmdUpload_Click(engine, 1).outcome, UploadOutcome::kStopped);

  EXPECT_EQ(server().files, (std::map<std::string, std::string>{{"site/a.html", "page a"},
                                                                {"site/b.html", "page b"}}));
  EXPECT_EQ(LogLines(),
            Strings({"Connecting", "Uploading a.html", "Uploaded a.html", "Uploading b.html",
                     "Uploaded b.html", "Upload process cancelled"}));
  EXPECT_EQ(Captions().back(), "Upload Cancelled");
  EXPECT_EQ(server().calls.back(), "CLOSE");
  EXPECT_EQ(t.ui.MessageTexts(), Strings({"About to upload 5 items. Are you sure?"}));
  EXPECT_FALSE(engine.upload.stop_requested);
}

TEST_F(UploadDriverTest, AFailingThirdFileOfFiveEndsTheRunAndKeepsItsLivePage) {
  WritePages({"a", "b", "c", "d", "e"});
  OpenSite();
  server().files["site/c.html"] = "live c";
  server().Fail("PUT", 3, {25, "552 Requested file action aborted. Exceeded storage allocation."});
  t.ui.QueueAnswer(Answer::kYes);

  EXPECT_EQ(cmdUpload_Click(engine, 1).outcome, UploadOutcome::kFailed);

  const std::string error =
      "FtpOpenFile:PutFile error code: 25 Message: 552 Requested file action aborted. Exceeded "
      "storage allocation.";
  EXPECT_EQ(LogLines(), Strings({"Connecting", "Uploading a.html", "Uploaded a.html",
                                 "Uploading b.html", "Uploaded b.html", "Uploading c.html",
                                 "25 - " + error, "Upload failed: c.html"}));
  EXPECT_EQ(server().files,
            (std::map<std::string, std::string>{
                {"site/a.html", "page a"}, {"site/b.html", "page b"}, {"site/c.html", "live c"}}));
  EXPECT_EQ(server().calls.end()[-3], "PUT site/.c.html.part ascii");
  EXPECT_EQ(server().calls.end()[-2], "DELETE site/.c.html.part");
  EXPECT_EQ(t.ui.main_status.back(),
            (StatusFrame{3.0 / 5, {128, 255, 128}, "Error uploading c.html"}));
  EXPECT_EQ(t.ui.MessageTexts(), Strings({"About to upload 5 items. Are you sure?", kReminder}));
  EXPECT_EQ(t.ui.controls_enabled, std::vector<bool>({false, true}));
}

TEST_F(UploadDriverTest, APageThatWasNeverGeneratedFailsBeforeTheServerIsAsked) {
  WritePages({"a"});
  WriteTemplate("b.template", "never built");
  OpenSite();
  server().files["site/b.html"] = "live b";
  t.ui.QueueAnswer(Answer::kYes);

  EXPECT_EQ(cmdUpload_Click(engine, 1).outcome, UploadOutcome::kFailed);

  EXPECT_EQ(LogLines()[4], "53 - OpenLocalFile error code: 53 Message: open " + Site("b.html") +
                               ": No such file or directory");
  EXPECT_EQ(server().files["site/b.html"], "live b");
  EXPECT_EQ(std::count(server().calls.begin(), server().calls.end(), "PUT site/.b.html.part ascii"),
            0);
}

TEST_F(UploadDriverTest, RenameRefusals) {
  struct Case {
    const char* name;
    int refusals;  // of the first renames
    std::string live;
    Strings calls;
    UploadOutcome outcome;
  };
  const Case cases[] = {
      {"over an existing file only",
       1,
       "page a",
       {"PUT site/.a.html.part ascii", "RENAME site/.a.html.part site/a.html",
        "RENAME site/a.html site/.a.html.part.old", "RENAME site/.a.html.part site/a.html",
        "DELETE site/.a.html.part.old", "CLOSE"},
       UploadOutcome::kComplete},
      {"every rename",
       9,
       "live a",
       {"PUT site/.a.html.part ascii", "RENAME site/.a.html.part site/a.html",
        "RENAME site/a.html site/.a.html.part.old", "RENAME site/.a.html.part site/a.html",
        "DELETE site/.a.html.part", "CLOSE"},
       UploadOutcome::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server() = ScriptedFtpServer();
    server().folders.insert("site");
    server().files["site/a.html"] = "live a";
    for (int i = 1; i <= c.refusals; ++i) {
      server().Fail("RENAME", i, {21, "550 Rename refused."});
    }
    WritePages({"a"});
    OpenSite();
    Select({"a.template"});
    EXPECT_EQ(cmdUpload_Click(engine, 0).outcome, c.outcome);
    EXPECT_EQ(server().files, (std::map<std::string, std::string>{{"site/a.html", c.live}}));
    EXPECT_EQ(Strings(server().calls.begin() + 2, server().calls.end()), c.calls);
  }
  EXPECT_EQ(engine.cFTP.GetLastErrorMessage(),
            "RenameFTPFile error code: 21 Message: 550 Rename refused.");
}

TEST_F(UploadDriverTest, SingleFilesGoIntoTheImagesFolderByTheirPathAndKeepTheirMode) {
  struct Case {
    std::string path;
    bool binary;
    Strings calls;
    std::string caption;
  };
  WritePages({"a"});
  t.WriteFile(Site("images/logo.png"), "png");
  t.WriteFile(Site("Pics/Images/x.gif"), "gif");
  t.WriteFile(Site("style.css"), "css");
  OpenSite();
  const Case cases[] = {
      {Site("images/logo.png"),
       true,
       {"OPEN ftp.example.com web active", "CWD site/images",
        "PUT site/images/.logo.png.part binary",
        "RENAME site/images/.logo.png.part site/images/logo.png", "CLOSE"},
       "Uploaded logo.png to /site/images/"},
      {Site("Pics/Images/x.gif"),
       true,
       {"OPEN ftp.example.com web active", "CWD site/images", "PUT site/images/.x.gif.part binary",
        "RENAME site/images/.x.gif.part site/images/x.gif", "CLOSE"},
       "Uploaded x.gif to /site/images/"},
      {Site("style.css"),
       false,
       {"OPEN ftp.example.com web active", "CWD site", "PUT site/.style.css.part ascii",
        "RENAME site/.style.css.part site/style.css", "CLOSE"},
       "Uploaded style.css to /site/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    server().calls.clear();
    t.ui.QueueFileName(c.path);
    EXPECT_EQ(UploadPickedFile(engine, c.binary), UploadOutcome::kComplete);
    EXPECT_EQ(server().calls, c.calls);
    EXPECT_EQ(Captions().back(), c.caption);
  }
  EXPECT_EQ(t.ui.file_requests.back().start_folder, Site());

  // A binary menu upload carries into the next list upload.
  t.ui.QueueFileName(Site("images/logo.png"));
  UploadPickedFile(engine, true);
  server().calls.clear();
  Select({"a.template"});
  cmdUpload_Click(engine, 0);
  EXPECT_EQ(server().calls[2], "PUT site/.a.html.part binary");
}

TEST_F(UploadDriverTest, ProxyAndModeComeFromTheSettings) {
  WritePages({"a"});
  OpenSite();
  ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
  EXPECT_FALSE(fields.chkPassiveFTP);
  fields.chkPassiveFTP = true;  // "Passive FTP" ticked in the settings dialog
  SaveToProject(engine, fields);
  Select({"a.template"});
  StoreAppSetting(engine.AppSettings, "ProxyType", 2);
  StoreAppSetting(engine.AppSettings, "ProxyServer", "proxy.lan");
  StoreAppSetting(engine.AppSettings, "ProxyPort", "3128");
  StoreAppSetting(engine.AppSettings, "ProxyUser", "pu");
  StoreAppSetting(engine.AppSettings, "ProxyPwd", "pp");
  cmdUpload_Click(engine, 0);
  const FtpLogin& login = server().last_login;
  EXPECT_EQ(server().calls[0], "OPEN ftp.example.com web passive");
  EXPECT_EQ(login.proxy.type, ProxyType::kNamed);
  EXPECT_EQ(login.proxy.server + " " + login.proxy.user + " " + login.proxy.password,
            "proxy.lan:3128 pu pp");

  StoreAppSetting(engine.AppSettings, "ProxyType", 1);
  cmdUpload_Click(engine, 0);
  EXPECT_EQ(server().last_login.proxy.type, ProxyType::kNone);
  StoreAppSetting(engine.AppSettings, "ProxyType", 0);
  cmdUpload_Click(engine, 0);
  EXPECT_EQ(server().last_login.proxy.type, ProxyType::kSystem);
  // A named proxy without its port leaves no server to go through.
  StoreAppSetting(engine.AppSettings, "ProxyType", 2);
  StoreAppSetting(engine.AppSettings, "ProxyPort", "");
  cmdUpload_Click(engine, 0);
  EXPECT_EQ(server().last_login.proxy, (ProxyRoute{ProxyType::kNamed, "", "pu", "pp"}));
}

TEST_F(UploadDriverTest, OtherFilesGoInBinaryIntoTheirFoldersButNeverTheSourcesOrTheProject) {
  WritePages({"a"});
  t.WriteFile(Site("images/logo.png"), "png");
  t.WriteFile(Site("css/deep/style.css"), "css");
  WriteInclude("header.inc", "inc");
  OpenSite();
  t.ui.QueueAnswer(Answer::kYes);
  UploadOptions options;
  options.with_files = true;

  EXPECT_EQ(cmdUpload_Click(engine, 1, options).outcome, UploadOutcome::kComplete);

  EXPECT_EQ(server().files, (std::map<std::string, std::string>{{"site/a.html", "page a"},
                                                                {"site/css/deep/style.css", "css"},
                                                                {"site/images/logo.png", "png"}}));
  EXPECT_EQ(
      Strings(server().calls.begin() + 4, server().calls.end()),
      Strings({"MKD site/css", "MKD site/css/deep", "PUT site/css/deep/.style.css.part binary",
               "RENAME site/css/deep/.style.css.part site/css/deep/style.css", "MKD site/images",
               "PUT site/images/.logo.png.part binary",
               "RENAME site/images/.logo.png.part site/images/logo.png", "CLOSE"}));
  EXPECT_EQ(t.ui.MessageTexts(), Strings({"About to upload 1 items. Are you sure?"}));
  EXPECT_FALSE(engine.cFTP.TransferBinary());
}

TEST_F(UploadDriverTest, ChangedOnlySendsWhatDiffersFromTheLastUploadAndResumesAStoppedRun) {
  // 1,000 pages built from templates that share two includes.
  for (int i = 0; i < 1000; ++i) {
    const std::string name = "p" + std::to_string(1000 + i);
    WriteTemplate(name + ".template",
                  name + " [include=" + (i % 10 == 0 ? "rare" : "common") + ".inc]");
  }
  WriteInclude("common.inc", "common");
  WriteInclude("rare.inc", "rare");
  OpenSite();
  ASSERT_TRUE(BuildPages(engine, false));
  UploadOptions changed;
  changed.confirmed = true;
  changed.changed_only = true;
  auto puts = [this] {
    return std::count_if(server().calls.begin(), server().calls.end(),
                         [](const std::string& call) { return call.starts_with("PUT"); });
  };

  // Stopped after 400 pages, then started again: only the rest goes.
  int put_count = 0;
  server().after_put = [&](const std::string&) {
    if (++put_count == 400) {
      cmdStopUpload_Click(engine);
    }
  };
  EXPECT_EQ(cmdUpload_Click(engine, 1, changed).outcome, UploadOutcome::kStopped);
  server().after_put = nullptr;
  server().calls.clear();
  UploadReport report = cmdUpload_Click(engine, 1, changed);
  EXPECT_EQ(report.outcome, UploadOutcome::kComplete);
  EXPECT_EQ(report.sent, 600);
  EXPECT_EQ(report.unchanged, 400);
  EXPECT_EQ(server().calls[2], "PUT site/.p1400.html.part ascii");

  // Unchanged: nothing goes.
  server().calls.clear();
  report = cmdUpload_Click(engine, 1, changed);
  EXPECT_EQ(report.sent, 0);
  EXPECT_EQ(puts(), 0);

  // One include changed: exactly the pages that use it.
  WriteInclude("rare.inc", "rare, changed");
  ASSERT_TRUE(BuildPages(engine, false));
  server().calls.clear();
  report = cmdUpload_Click(engine, 1, changed);
  EXPECT_EQ(report.sent, 100);
  EXPECT_EQ(puts(), 100);
  EXPECT_EQ(server().files["site/p1010.html"], "p1010 rare, changed");

  // Another server or folder has its own record.
  OpenSite({"FTPPATH,/other/"});
  server().folders.insert("other");
  EXPECT_EQ(cmdUpload_Click(engine, 1, changed).sent, 1000);
}

TEST_F(UploadDriverTest, ARecordLineCutShortByACrashCountsAsNotSent) {
  WritePages({"a", "b", "c"});
  OpenSite();
  UploadOptions changed;
  changed.confirmed = true;
  changed.changed_only = true;
  ASSERT_EQ(cmdUpload_Click(engine, 1, changed).sent, 3);
  std::string record = t.ReadFile(Site("site.uploads"));
  ASSERT_EQ(std::count(record.begin(), record.end(), '\n'), 3);
  record.pop_back();  // the last line loses its end
  t.WriteFile(Site("site.uploads"), record);

  server().calls.clear();
  EXPECT_EQ(cmdUpload_Click(engine, 1, changed).sent, 1);
  EXPECT_EQ(server().calls[2], "PUT site/.c.html.part ascii");
  record = t.ReadFile(Site("site.uploads"));
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 3);
}

// The record is rewritten whole at the end; when that fails the person is
// told, and the lines appended as the pages arrived still count.
TEST_F(UploadDriverTest, ARecordThatCannotBeSavedIsToldAndItsLinesStillCount) {
  WritePages({"a", "b"});
  OpenSite();
  UploadOptions changed;
  changed.confirmed = true;
  changed.changed_only = true;
  t.fs.FailNth(FaultyFileSystem::Op::kSync, 1, FsError::kDiskFull, /*persistent=*/true);
  t.ui.messages.clear();
  EXPECT_EQ(cmdUpload_Click(engine, 1, changed).outcome, UploadOutcome::kComplete);
  t.fs.Heal();
  const std::vector<std::string> shown = t.ui.MessageTexts();
  EXPECT_NE(std::find(shown.begin(), shown.end(),
                      "The record of uploaded pages " + Site("site.uploads") +
                          " could not be saved, so the next upload of changed pages may send "
                          "some pages again."),
            shown.end());
  EXPECT_EQ(cmdUpload_Click(engine, 1, changed).sent, 0);
}

}  // namespace
}  // namespace pagorin::testing
