// The update check against a scripted server: its texts, colours, log lines
// and LastUpdateCheck; when the background check runs; the download checks;
// the details; the hand-over to the updater; the proxy each request uses.
#include "update/updater.h"

#include <gtest/gtest.h>

#include "update/install_handover.h"
#include "update/proxy_settings.h"
#include "update/update_schedule.h"
#include "update_fixture.h"

namespace pagorin::testing {
namespace {

const UpdateFiles kFiles{"https://up.example/versions/PAGORIN_current.txt",
                         "https://up.example/versions/PAGORIN_details.txt", "PagorinUpd.tar.gz"};
constexpr const char* kManualMessage =
    "The update server could not be reached. Please visit up.example to download the latest "
    "version and update manually.";
constexpr std::int64_t kToday = 45358;  // 7 March 2024

ScriptedNetwork::HttpAnswer Page(std::string body, long status = 200) {
  return {std::move(body), HttpResult{HttpOutcome::kDone, status, 0, 0, ""}};
}

TEST(CheckForUpdate, WithoutHttpsOrOverPlainHttpElsewhere) {
  UpdateTest u;
  u.t.net.https_available = false;
  u.updater.ShowAndCheck(kFiles, "1.0.0");
  EXPECT_EQ(
      (std::vector<std::string>{"Proxy set to: 1 ", kFiles.current_url + ": Could not resolve host",
                                "Could not retrieve information from the update server.",
                                "libcurl is missing or outdated",
                                "Update check failed, could not retrieve update information"}),
      u.Logged());
  EXPECT_EQ(std::vector<std::string>{"The internet library libcurl on this computer cannot make "
                                     "secure (HTTPS) connections, so the update check cannot "
                                     "run. Please install libcurl with TLS support, or visit "
                                     "up.example to download the latest version."},
            u.t.ui.MessageTexts());

  // Plain HTTP is taken only from this computer; nothing else is asked.
  const struct {
    const char* url;
    bool asked;
  } addresses[] = {
      {"http://up.example/v.txt", false},    {"ftp://127.0.0.1/v.txt", false},
      {"http://127.0.0.1:8080/v.txt", true}, {"http://localhost/v.txt", true},
      {"http://[::1]:81/v.txt", true},       {"http://127.0.0.1.up.example/v.txt", false}};
  for (const auto& a : addresses) {
    SCOPED_TRACE(a.url);
    UpdateTest plain;
    plain.updater.ShowAndCheck({a.url, "", ""}, "1.0.0");
    EXPECT_EQ(a.asked ? 1u : 0u, plain.t.net.http_requests.size());
    if (!a.asked) {
      EXPECT_EQ("Refused " + std::string(a.url) + ": only HTTPS is used, or HTTP on this computer",
                plain.Logged().at(0));
    }
  }
}

TEST(CheckForUpdate, SilentCheckAsksBeforeShowingTheWindow) {
  for (const Answer answer : {Answer::kYes, Answer::kNo}) {
    UpdateTest u;
    u.t.net.ScriptHttp(kFiles.current_url, Page("9.0.0\nhttps://up.example/f"));
    u.t.ui.QueueAnswer(answer);
    std::vector<bool> shown;
    u.updater.events.show = [&shown](bool modal) { shown.push_back(modal); };
    EXPECT_TRUE(u.updater.CheckForUpdate(/*silent=*/true, kFiles, "1.0.0"));
    EXPECT_EQ(
        std::vector<std::string>{"An update is available. Would you like to view the details now?"},
        u.t.ui.MessageTexts());
    EXPECT_EQ(answer == Answer::kYes ? std::vector<bool>{true} : std::vector<bool>{}, shown);
  }
  UpdateTest shown_at_once;
  std::vector<bool> shown;
  shown_at_once.updater.events.show = [&shown](bool modal) { shown.push_back(modal); };
  shown_at_once.updater.ShowAndCheck(kFiles, "1.0.0");
  EXPECT_EQ(std::vector<bool>{false}, shown);
}

TEST(TimedUpdateCheck, SwitchAndLastCheck) {
  const struct {
    std::vector<std::pair<const char*, SettingValue>> stored;
    bool runs;
  } cases[] = {
      {{}, false},
      {{{"DisableAutoUpdateCheck", true}}, false},
      {{{"DisableAutoUpdateCheck", "True"}}, false},
      {{{"DisableAutoUpdateCheck", false}}, true},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", kToday}}, false},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "45352"}}, false},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "45351"}}, true},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "01/Mar/2024"}}, false},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "01/MAR/2024"}}, false},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "29/Feb/2024"}}, true},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "05/Mar/2007"}}, true},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "06/03/2024"}}, false},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "soon/ish"}}, true},
      {{{"DisableAutoUpdateCheck", "False"}, {"LastUpdateCheck", "46000"}}, false},
  };
  for (const auto& c : cases) {
    UpdateTest u;
    std::string trace;
    for (const auto& [name, value] : c.stored) {
      StoreAppSetting(u.app_settings, name, value);
      trace += std::string(name) + "=" + value.Text() + " ";
    }
    SCOPED_TRACE(trace);
    u.t.net.ScriptHttp(kFiles.current_url, Page("1.0.0\nhttps://up.example/f"));
    EXPECT_EQ(c.runs, TimedUpdateCheck(u.t.env, u.app_settings, u.updater, kFiles));
    EXPECT_EQ(c.runs ? 1u : 0u, u.t.net.http_requests.size());
    const bool disabled = c.stored.empty() || c.stored[0].second.AsBool();
    EXPECT_EQ(disabled ? std::vector<std::string>{"Automatic update check is disabled"}
                       : std::vector<std::string>{},
              c.runs ? std::vector<std::string>{} : u.Logged());
  }
}

// A finished check that found version 2.0.0, released at kRelease.
constexpr const char* kRelease = "https://up.example/files/pagorin-200.tar.gz";

struct DownloadTest : UpdateTest {
  DownloadTest() {
    t.net.ScriptHttp(kFiles.current_url,
                     Page("2.0.0\r\nhttps://up.example/files/pagorin-@@@.tar.gz\r\n"));
    updater.ShowAndCheck(kFiles, "1.0.0");
    folder = t.Path("downloads/");
    t.WriteFile(folder + "keep.txt", "");
  }
  std::string folder;
};

// The checksum, error pages and a stalled server are met in the real server
// tests; these are the answers only a scripted network gives at will.
TEST(DownloadFile, OnlyACompleteFileReplacesThePreviousDownload) {
  const std::string release(30'000, 'r');
  const std::string incomplete = "Error - Downloaded file is incomplete. Please retry";
  const struct {
    const char* name;
    ScriptedNetwork::HttpAnswer answer;
    std::string status;  // empty: the download is kept
    std::string log;     // the line after "Proxy set to: 1 " (none when empty)
  } cases[] = {
      {"complete", Page(release), "", ""},
      {"announced length", {release, {HttpOutcome::kDone, 200, 30'000, 0, ""}}, "", ""},
      {"cut short", {release, {HttpOutcome::kTruncated, 200, 40'000, 0, "cut"}}, incomplete, "cut"},
      {"cut short, length unknown",
       {release, {HttpOutcome::kTruncated, 200, 0, 0, "cut"}},
       incomplete,
       "cut"},
      {"shorter than announced",
       {release, {HttpOutcome::kDone, 200, 30'001, 0, ""}},
       incomplete,
       "Received 30000 of 30001 bytes"},
      {"small file", Page("#!/bin/sh\n"), "Error - Downloaded file is too small. Please retry", ""},
      {"too large",
       {"", {HttpOutcome::kTooLarge, 200, 0, 0, "longer than 9 bytes"}},
       "Error - Download failed.",
       "longer than 9 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DownloadTest d;
    d.t.net.ScriptHttp(kRelease, c.answer);
    d.t.WriteFile(d.folder + "PagorinUpd.tar.gz", "the previous download");
    const std::size_t logged = LogMessages(d.t).size();
    const bool kept = c.status.empty();
    EXPECT_EQ(kept, d.updater.Download(d.folder));
    EXPECT_EQ(kept ? "File saved to " + d.folder + "PagorinUpd.tar.gz" : c.status,
              d.updater.view().lblStatus);
    EXPECT_EQ(kept ? release : "the previous download",
              d.t.ReadFile(d.folder + "PagorinUpd.tar.gz"));
    EXPECT_EQ((std::vector<std::string>{"PagorinUpd.tar.gz", "keep.txt"}), d.t.List(d.folder));
    std::vector<std::string> log{"Trying to download " + std::string(kRelease), "Proxy set to: 1 "};
    if (!c.log.empty()) {
      log.push_back(c.log);
    }
    const std::vector<std::string> all = LogMessages(d.t);
    EXPECT_EQ(log, std::vector<std::string>(all.begin() + logged, all.end()));
    EXPECT_EQ(512ull * 1024 * 1024, d.t.net.http_requests.back().max_bytes);
  }
}

TEST(DownloadFile, StopAndADiskThatFails) {
  DownloadTest stopped;
  stopped.t.net.ScriptHttp(kRelease, Page(std::string(30'000, 'r')));
  stopped.updater.events.changed = [&stopped] { stopped.updater.StopAll(); };
  EXPECT_FALSE(stopped.updater.Download(stopped.folder));
  EXPECT_EQ("Error - Download failed.", stopped.updater.view().lblStatus);
  EXPECT_EQ("Transfer stopped", stopped.Logged().back());
  EXPECT_EQ(std::vector<std::string>{"keep.txt"}, stopped.t.List(stopped.folder));

  // The log writes too: the download's own operation is the one after the
  // log's "Trying to download" (open, write) and "Proxy set to" (write).
  const std::pair<FaultyFileSystem::Op, int> faults[] = {{FaultyFileSystem::Op::kOpen, 2},
                                                         {FaultyFileSystem::Op::kWrite, 3},
                                                         {FaultyFileSystem::Op::kRename, 1}};
  for (const auto& [op, nth] : faults) {
    DownloadTest d;
    d.t.net.ScriptHttp(kRelease, Page(std::string(30'000, 'r')));
    d.t.fs.FailNth(op, nth, FsError::kDiskFull);
    EXPECT_FALSE(d.updater.Download(d.folder));
    EXPECT_EQ("Error - Download failed.", d.updater.view().lblStatus);
    EXPECT_TRUE(d.Logged().back().starts_with("Cannot write " + d.folder));
    EXPECT_EQ(std::vector<std::string>{"keep.txt"}, d.t.List(d.folder));
  }
}

TEST(DownloadAndInstall, YesHandsOverNoKeepsTheFile) {
  for (const Answer answer : {Answer::kYes, Answer::kNo}) {
    DownloadTest d;
    d.t.net.ScriptHttp(kRelease, Page(std::string(30'000, 'r')));
    int installs = 0;
    d.updater.events.InstallFile = [&installs] { ++installs; };
    d.t.ui.QueueAnswer(answer);
    EXPECT_TRUE(d.updater.DownloadAndInstall(d.folder));
    EXPECT_EQ(std::vector<std::string>{"The update has been downloaded. Do you want to install it "
                                       "now?"},
              d.t.ui.MessageTexts());
    const bool yes = answer == Answer::kYes;
    EXPECT_EQ(yes ? 1 : 0, installs);
    EXPECT_EQ(yes, d.updater.install_requested());
    EXPECT_EQ(d.folder + "PagorinUpd.tar.gz", d.updater.downloaded_file());
    EXPECT_EQ(
        yes ? "Version 2.0.0 is available!" : "File saved to " + d.folder + "PagorinUpd.tar.gz",
        d.updater.view().lblStatus);
  }
}

TEST(ShowDetail, TextWithWindowsLineEndsOrTheFailureText) {
  const std::string unable =
      "Unable to read data from server. Please check your internet settings and try again.";
  const struct {
    std::optional<ScriptedNetwork::HttpAnswer> answer;
    std::string shown;
  } cases[] = {
      {Page("Faster builds.\nFixed: dates.\r\nMore."), "Faster builds.\r\nFixed: dates.\r\nMore."},
      {Page("<html><title>404 Not Found</title></html>"), unable},
      {Page("<HTML>Error 404</HTML>", 404), unable},
      {Page("Release 404: html export"), unable},
      {std::nullopt, unable},
  };
  for (const auto& c : cases) {
    UpdateTest u;
    u.t.net.ScriptHttp(kFiles.current_url, Page("1.0.0\nhttps://up.example/f"));
    if (c.answer) {
      u.t.net.ScriptHttp(kFiles.details_url, *c.answer);
    }
    u.updater.ShowAndCheck(kFiles, "1.0.0");
    std::vector<std::string> shown;
    u.updater.events.changed = [&] { shown.push_back(u.updater.view().txtDetails); };
    u.updater.ShowDetail();
    EXPECT_EQ((std::vector<std::string>{"Retrieving info...", c.shown}), shown);
  }
}

TEST(FormClosed, StoresTheAutomaticCheckSwitch) {
  UpdateTest u;
  u.updater.FormClosed(false);
  EXPECT_EQ(std::vector<std::string>{"DISABLEAUTOUPDATECHECK=False"}, u.Keys());
  u.t.net.ScriptHttp(kFiles.current_url, Page("1.0.0\nhttps://up.example/f"));
  u.updater.ShowAndCheck(kFiles, "1.0.0");
  EXPECT_FALSE(u.updater.view().chkDisableAutoUpdate);
  u.updater.FormClosed(true);
  EXPECT_EQ((std::vector<std::string>{"DISABLEAUTOUPDATECHECK=True", "LASTUPDATECHECK=45358"}),
            u.Keys());
}

TEST(HandOverToUpdater, WritesUpdaterIniAndStartsTheUpdater) {
  const std::string setup = "/downloads/PagorinUpd.tar.gz";
  std::vector<std::string> started;
  const ProgramStarter record = [&started](const std::string& program,
                                           const std::vector<std::string>& arguments) {
    started.push_back(program);
    started.insert(started.end(), arguments.begin(), arguments.end());
    return true;
  };
  // The one message when the updater cannot take over.
  const auto refusal = [](const UpdateTest& u, const std::string& why) {
    return std::vector<std::string>{
        "The update was saved as /downloads/PagorinUpd.tar.gz. The updater program (" +
        u.t.paths.program_dir + "pagorin-updater) " + why +
        ", so please install the update yourself."};
  };

  UpdateTest missing;
  EXPECT_FALSE(HandOverToUpdater(missing.t.env, setup, record));
  EXPECT_EQ(refusal(missing, "is not installed"), missing.t.ui.MessageTexts());
  EXPECT_TRUE(started.empty());
  EXPECT_FALSE(missing.t.Exists(missing.t.paths.data_dir + "updater.ini"));

  UpdateTest present;
  const std::string updater = present.t.paths.program_dir + "pagorin-updater";
  const std::string ini = present.t.paths.data_dir + "updater.ini";
  present.t.WriteFile(updater, "#!/bin/sh\n");
  EXPECT_TRUE(HandOverToUpdater(present.t.env, setup, record));
  EXPECT_EQ(setup, present.t.ReadFile(ini));
  EXPECT_EQ((std::vector<std::string>{updater, ini}), started);
  EXPECT_TRUE(present.t.ui.MessageTexts().empty());

  UpdateTest refused;
  refused.t.WriteFile(refused.t.paths.program_dir + "pagorin-updater", "");
  EXPECT_FALSE(HandOverToUpdater(refused.t.env, setup, [](auto&, auto&) { return false; }));
  EXPECT_EQ(refusal(refused, "could not be started"), refused.t.ui.MessageTexts());
}

TEST(ApplyProxySettings, AccessTypeServerAndCredentials) {
  const struct {
    std::vector<std::pair<const char*, const char*>> stored;
    ProxyRoute proxy;
    std::vector<std::string> log;
  } cases[] = {
      {{}, {ProxyType::kNone, "", "", ""}, {"Proxy set to: 1 "}},
      {{{"ProxyType", "0"}, {"ProxyServer", "p"}, {"ProxyPort", "8"}},
       {ProxyType::kSystem, "", "", ""},
       {"Proxy set to: 0 "}},
      {{{"ProxyType", "1"}, {"ProxyServer", "p"}, {"ProxyPort", "8"}, {"ProxyUser", "u"}},
       {ProxyType::kNone, "", "", ""},
       {"Proxy set to: 1 "}},
      {{{"ProxyType", "2"},
        {"ProxyServer", "proxy.example"},
        {"ProxyPort", "3128"},
        {"ProxyUser", "anna"},
        {"ProxyPwd", "s3cret"}},
       {ProxyType::kNamed, "proxy.example:3128", "anna", "s3cret"},
       {"Proxy set to: 2 proxy.example:3128", "Proxy username/password set"}},
      // Another number goes direct, though the log keeps what is stored.
      {{{"ProxyType", "3"}, {"ProxyServer", "p"}, {"ProxyPort", "8"}},
       {ProxyType::kNone, "", "", ""},
       {"Proxy set to: 3 "}},
      // Both parts are needed for the server; the user still counts.
      {{{"ProxyType", "2"}, {"ProxyServer", "proxy.example"}, {"ProxyUser", "anna"}},
       {ProxyType::kNamed, "", "anna", ""},
       {"Proxy set to: 2 ", "Proxy username/password set"}},
  };
  for (const auto& c : cases) {
    UpdateTest u;
    for (const auto& [name, value] : c.stored) {
      StoreAppSetting(u.app_settings, name, value);
    }
    SCOPED_TRACE(c.log[0]);
    EXPECT_EQ(c.proxy, ApplyProxySettings(u.t.env, u.app_settings));
    EXPECT_EQ(c.log, u.Logged());
  }
  // Every request applies them afresh, with the certificate file and limits.
  UpdateTest u;
  StoreAppSetting(u.app_settings, "UpdateCAFile", "/etc/own-ca.pem");
  u.updater.limits.stall_seconds = 2;
  u.updater.ShowAndCheck(kFiles, "1.0.0");
  StoreAppSetting(u.app_settings, "ProxyType", "0");
  u.updater.ShowDetail();
  ASSERT_EQ(2u, u.t.net.http_requests.size());
  const HttpRequest& check = u.t.net.http_requests[0];
  EXPECT_EQ(kFiles.current_url, check.url);
  EXPECT_EQ("/etc/own-ca.pem", check.ca_file);
  EXPECT_EQ(64u * 1024, check.max_bytes);
  EXPECT_EQ(2, check.stall_seconds);
  EXPECT_EQ(ProxyType::kNone, check.proxy.type);
  EXPECT_EQ(kFiles.details_url, u.t.net.http_requests[1].url);
  EXPECT_EQ(ProxyType::kSystem, u.t.net.http_requests[1].proxy.type);
}

}  // namespace
}  // namespace pagorin::testing
