// The update check and downloads over libcurl against servers the test
// starts on 127.0.0.1: a release server over HTTP and over HTTPS (with a
// certificate authority of its own) and a proxy that records requests.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "local_server.h"
#include "shared/checksum.h"
#include "shared/curl_network.h"
#include "update/updater.h"
#include "update_fixture.h"

namespace pagorin::testing {
namespace {

class RealServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pagorin-server-XXXXXX").string();
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    root_ = pattern + "/";
    std::filesystem::create_directories(root_ + "www/versions");
    std::filesystem::create_directories(root_ + "www/files");
    MakeCertificates(root_);
    http_ = std::make_unique<LocalServer>(std::vector<std::string>{"serve", root_ + "www"},
                                          root_ + "http.port");
    https_ = std::make_unique<LocalServer>(
        std::vector<std::string>{"serve", root_ + "www", root_ + "server.pem",
                                 root_ + "server.key"},
        root_ + "https.port");
    proxy_ = std::make_unique<LocalServer>(
        std::vector<std::string>{"proxy", root_ + "proxy.log", "anna", "s3cret"},
        root_ + "proxy.port");
  }
  static void TearDownTestSuite() {
    http_.reset();
    https_.reset();
    proxy_.reset();
    std::filesystem::remove_all(root_);
  }

  RealServerTest() {
    t.locale.TrueWord();
    logged_before_ = LogMessages(t).size();
    updater.limits.stall_seconds = 1;
  }

  static std::string Http(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(http_->port()) + path;
  }
  static std::string Https(const std::string& path) {
    return "https://127.0.0.1:" + std::to_string(https_->port()) + path;
  }
  static void Serve(const std::string& path, const std::string& contents) {
    std::ofstream(root_ + "www" + path, std::ios::binary) << contents;
  }
  static std::string ProxyLog() {
    std::ifstream in(root_ + "proxy.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> Logged() const { return LogMessagesSince(t, logged_before_); }
  std::vector<std::string> Keys() const { return SettingKeys(app_settings); }
  UpdateFiles Files(const std::string& current_url) const {
    return {current_url, Http("/versions/details.txt"), "PagorinUpd.tar.gz"};
  }

  static std::string root_;
  static std::unique_ptr<LocalServer> http_, https_, proxy_;

  TestEnv t;
  CurlNetwork curl;
  Env env{t.fs, t.clock, t.ui, t.log, t.locale, t.progress, t.paths, curl};
  cSHAREDSettings app_settings{env};
  Updater updater{env, app_settings};
  std::size_t logged_before_ = 0;
};

std::string RealServerTest::root_;
std::unique_ptr<LocalServer> RealServerTest::http_, RealServerTest::https_, RealServerTest::proxy_;

TEST_F(RealServerTest, CheckResultsOverHttpAndHttps) {
  const std::string failed_log = "Could not retrieve information from the update server.";
  const std::string failed = "Update check failed, could not retrieve update information";
  const std::string visit =
      "The update server could not be reached. Please visit 127.0.0.1 to download the latest "
      "version and update manually.";
  const struct {
    const char* name;
    std::string current;
    const char* served;  // nullptr: nothing there (404)
    bool https;
    std::string lblUpdate;
    int colour;
    std::vector<std::string> log;  // after "Proxy set to: 1 "; the last is the result text
    std::vector<std::string> last_check;
    std::vector<std::string> messages;
  } cases[] = {
      {"newer",
       "1.0.50",
       "1.0.51\r\nhttps://x.example/f\r\n",
       false,
       "Version 1.0.51 is available!",
       kGreen,
       {"Version 1.0.51 is available!"},
       {"LASTUPDATECHECK=07/Mar/2024"},
       {}},
      {"newer over HTTPS",
       "1.0.50",
       "1.0.51\nhttps://x.example/f\n",
       true,
       "Version 1.0.51 is available!",
       kGreen,
       {"Version 1.0.51 is available!"},
       {"LASTUPDATECHECK=07/Mar/2024"},
       {}},
      {"same",
       "1.0.50",
       "1.0.50\r\nhttps://x.example/f\r\n",
       false,
       "You're up to date!",
       kRed,
       {"Already up to date (Available version is 1.0.50)", "Latest available version is 1.0.50"},
       {"LASTUPDATECHECK=45358"},
       {}},
      {"suffix on the server",
       "1.0.50",
       "1.0.50a\r\nhttps://x.example/f",
       true,
       "Version 1.0.50A is available!",
       kGreen,
       {"Version 1.0.50A is available!"},
       {"LASTUPDATECHECK=07/Mar/2024"},
       {}},
      {"suffix here",
       "1.0.50b",
       "1.0.50\nhttps://x.example/f",
       false,
       "You're up to date!",
       kRed,
       {"Already up to date (Available version is 1.0.50)", "Latest available version is 1.0.50"},
       {"LASTUPDATECHECK=45358"},
       {}},
      {"major decides",
       "1.9.9",
       "2.0.0\nhttps://x.example/f",
       false,
       "Version 2.0.0 is available!",
       kGreen,
       {"Version 2.0.0 is available!"},
       {"LASTUPDATECHECK=07/Mar/2024"},
       {}},
      {"own version",
       "",
       "1.0.0\nhttps://x.example/f",
       false,
       "You're up to date!",
       kRed,
       {"Already up to date (Available version is 1.0.0)", "Latest available version is 1.0.0"},
       {"LASTUPDATECHECK=45358"},
       {}},
      {"HTML error page",
       "1.0.50",
       "<!DOCTYPE html>\n<html><body>Maintenance</body></html>\n",
       false,
       "Could not retrieve update status",
       kRed,
       {failed_log, failed},
       {},
       {visit}},
      {"empty answer",
       "1.0.50",
       "",
       true,
       "Could not retrieve update status",
       kRed,
       {failed_log, failed},
       {},
       {visit}},
      {"404 page",
       "1.0.50",
       nullptr,
       false,
       "Could not retrieve update status",
       kRed,
       {"404", failed_log, failed},
       {},
       {visit}},
      {"no address",
       "1.0.50",
       "1.2.0",
       false,
       "Could not read update status from file",
       kRed,
       {"Update check failed, could not read download filename"},
       {},
       {}},
  };
  StoreAppSetting(app_settings, "UpdateCAFile", root_ + "ca.pem");
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = "/versions/check" + std::to_string(++number) + ".txt";
    if (c.served != nullptr) {
      Serve(path, c.served);
    }
    const std::string url = c.https ? Https(path) : Http(path);
    t.ui.messages.clear();
    app_settings.DeleteSettingByName("LASTUPDATECHECK");
    const std::size_t logged = Logged().size();
    std::vector<std::string> statuses;
    updater.events.Status = [&statuses](const std::string& text) { statuses.push_back(text); };
    int finished = 0;
    updater.events.Finished = [&finished] { ++finished; };

    EXPECT_EQ(c.colour == kGreen, updater.ShowAndCheck(Files(url), c.current));
    const UpdaterView& view = updater.view();
    EXPECT_EQ("Pagorin version " + (c.current.empty() ? AppVersion() : c.current), view.lblProgram);
    EXPECT_EQ(c.lblUpdate, view.lblUpdate);
    EXPECT_EQ(c.colour, view.lblUpdateColour);
    EXPECT_EQ(c.log.back(), view.lblStatus);
    EXPECT_EQ(c.log.back(), updater.result_text());
    EXPECT_TRUE(view.checks_enabled);
    EXPECT_EQ(c.colour == kGreen, view.downloads_enabled);
    std::vector<std::string> log{"Proxy set to: 1 "};
    for (const std::string& line : c.log) {
      log.push_back(line == "404" ? url + ": the server answered 404" : line);
    }
    const std::vector<std::string> all = Logged();
    EXPECT_EQ(log, std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(logged),
                                            all.end()));
    std::vector<std::string> keys{"UPDATECAFILE=" + root_ + "ca.pem"};
    keys.insert(keys.begin(), c.last_check.begin(), c.last_check.end());
    EXPECT_EQ(keys, Keys());
    EXPECT_EQ(c.messages, t.ui.MessageTexts());
    std::vector<std::string> expected_statuses{"Checking for update"};
    if (c.lblUpdate != "Could not retrieve update status") {
      expected_statuses.push_back("Data retrieved");
    }
    expected_statuses.push_back(c.log.back());
    EXPECT_EQ(expected_statuses, statuses);
    EXPECT_EQ(1, finished);
  }
}

TEST_F(RealServerTest, CertificateOfAnUnknownAuthorityIsRefused) {
  Serve("/versions/tls.txt", "9.0.0\nhttps://x.example/f\n");
  updater.ShowAndCheck(Files(Https("/versions/tls.txt")), "1.0.0");
  EXPECT_EQ("Could not retrieve update status", updater.view().lblUpdate);
  const std::string refused = Logged().at(1);
  EXPECT_TRUE(refused.starts_with(Https("/versions/tls.txt") + ": SSL certificate problem"))
      << refused;
  EXPECT_TRUE(Keys().empty());
}

TEST_F(RealServerTest, DetailsOrTheFailureText) {
  Serve("/versions/details.txt", "Faster builds.\nFixed: dates.\n");
  Serve("/versions/v.txt", "1.0.0\nhttps://x.example/f\n");
  updater.ShowAndCheck(Files(Http("/versions/v.txt")), "1.0.0");
  updater.ShowDetail();
  EXPECT_EQ("Faster builds.\r\nFixed: dates.\r\n", updater.view().txtDetails);
  updater.ShowAndCheck({Http("/versions/v.txt"), Http("/versions/gone.txt"), "x"}, "1.0.0");
  updater.ShowDetail();
  EXPECT_EQ("Unable to read data from server. Please check your internet settings and try again.",
            updater.view().txtDetails);
}

TEST_F(RealServerTest, DownloadsThatAreKeptAndThatAreNot) {
  const std::string release(30'000, 'r');
  Serve("/files/pagorin-1051.tar.gz", release);
  Serve("/files/moved.html", "<HTML><body>The file has moved.</body></HTML>");
  Sha256 sum;
  sum.Add(release);
  const std::string digest = sum.Hex();
  const std::string wrong(64, '0');
  const struct {
    const char* name;
    std::string address;  // "@@@" stands for 1051
    std::string checksum;
    std::string status;  // empty: kept
    std::string log;     // the last line logged
  } cases[] = {
      {"complete", Http("/files/pagorin-@@@.tar.gz"), "", "", "Proxy set to: 1 "},
      {"complete over HTTPS, verified", Https("/files/pagorin-@@@.tar.gz"), digest, "",
       "Proxy set to: 1 "},
      {"checksum differs", Http("/files/pagorin-@@@.tar.gz"), wrong,
       "Error - Downloaded file does not match its checksum.",
       "Checksum of " + Http("/files/pagorin-1051.tar.gz") + " is " + digest + ", expected " +
           wrong},
      {"truncated", Http("/truncated"), "", "Error - Downloaded file is incomplete. Please retry",
       "The connection ended after 30000 of 40000 bytes"},
      {"small HTML file", Http("/files/moved.html"), "", "Error - File not found on server.",
       "Proxy set to: 1 "},
      {"not there", Http("/files/none.tar.gz"), "", "Error - File not found on server.",
       "The server answered 404"},
      {"stalls", Http("/stall"), "", "Error - Download failed.", "Transfer timed out"},
  };
  StoreAppSetting(app_settings, "UpdateCAFile", root_ + "ca.pem");
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = "/versions/download" + std::to_string(++number) + ".txt";
    Serve(path, "1.0.51\r\n" + c.address + "\r\n" +
                    (c.checksum.empty() ? "" : "SHA256: " + c.checksum + "\r\n"));
    ASSERT_TRUE(updater.ShowAndCheck(Files(Http(path)), "1.0.50"));
    const std::string folder = t.Path("download" + std::to_string(number) + "/");
    std::filesystem::create_directories(folder);
    const bool kept = c.status.empty();
    EXPECT_EQ(kept, updater.Download(folder));
    EXPECT_EQ(kept ? "File saved to " + folder + "PagorinUpd.tar.gz" : c.status,
              updater.view().lblStatus);
    EXPECT_EQ(kept ? std::vector<std::string>{"PagorinUpd.tar.gz"} : std::vector<std::string>{},
              t.List(folder));
    if (kept) {
      EXPECT_EQ(release, t.ReadFile(folder + "PagorinUpd.tar.gz"));
    }
    EXPECT_EQ(c.log, Logged().back());
  }
}

TEST_F(RealServerTest, ProxyChoiceReachesTheProxyOrNot) {
  Serve("/versions/proxied.txt", "1.0.0\nhttps://x.example/f\n");
  const std::string proxy = "127.0.0.1:" + std::to_string(proxy_->port());
  const std::string request = "GET " + Http("/versions/proxied.txt") + " HTTP/1.1 ";
  // The system's proxy is the one the usual variable names; nothing exempts
  // this computer from it.
  setenv("http_proxy", ("http://" + proxy).c_str(), 1);
  unsetenv("no_proxy");
  unsetenv("NO_PROXY");
  const struct {
    const char* type;
    const char* password;
    std::string result;
    std::string proxy_saw;
  } cases[] = {
      {"2", "s3cret", "Version 9.9.9 is available!", request + "auth ok\n"},
      {"2", "wrong", "Update check failed, could not retrieve update information",
       request + "auth missing/wrong\n"},
      {"1", "s3cret", "Latest available version is 1.0.0", ""},
      {"0", "s3cret", "Update check failed, could not retrieve update information",
       request + "auth missing/wrong\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.password);
    const std::string before = ProxyLog();
    StoreAppSetting(app_settings, "ProxyType", c.type);
    StoreAppSetting(app_settings, "ProxyServer", "127.0.0.1");
    StoreAppSetting(app_settings, "ProxyPort", std::to_string(proxy_->port()));
    StoreAppSetting(app_settings, "ProxyUser", "anna");
    StoreAppSetting(app_settings, "ProxyPwd", c.password);
    updater.ShowAndCheck(Files(Http("/versions/proxied.txt")), "1.0.0");
    EXPECT_EQ(c.result, updater.result_text());
    EXPECT_EQ(c.proxy_saw, ProxyLog().substr(before.size()));
  }
  unsetenv("http_proxy");
}

struct CommandRun {
  int status;
  std::string out, err;
};

CommandRun RunUpdateCheck(const TestEnv& t, const std::string& args) {
  const std::string out = t.Path("out.txt"), err = t.Path("err.txt");
  const std::string command = "cd '" + t.root() + "' && env XDG_CONFIG_HOME='" + t.Path("config") +
                              "' XDG_DATA_HOME='" + t.Path("data") +
                              "' '" PAGORIN_EXECUTABLE "' update-check " + args + " >'" + out +
                              "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, t.ReadFile(out), t.ReadFile(err)};
}

TEST_F(RealServerTest, UpdateCheckCommand) {
  std::filesystem::create_directories(root_ + "www/same/versions");
  std::filesystem::create_directories(root_ + "www/newer/versions");
  Serve("/same/versions/PAGORIN_current.txt", AppVersion() + "\nhttps://x.example/f\n");
  Serve("/newer/versions/PAGORIN_current.txt",
        "99.0.0\n" + Http("/files/pagorin-1051.tar.gz") + "\n");
  Serve("/files/pagorin-1051.tar.gz", std::string(30'000, 'r'));
  const std::string ini = t.paths.data_dir + "Pagorin.ini";
  const std::string folder = t.Path("got");
  const std::string failed = "Update check failed, could not retrieve update information\n";
  const struct {
    std::string server;
    std::string args;
    CommandRun expected;
  } cases[] = {
      {Http("/same"), "", {0, "Latest available version is " + AppVersion() + "\n", ""}},
      {Http("/newer/"), "", {3, "Version 99.0.0 is available!\n", ""}},
      {Http("/newer"),
       "--download '" + folder + "'",
       {0, "Version 99.0.0 is available!\nFile saved to " + folder + "/PagorinUpd.tar.gz\n", ""}},
      {Http("/none"),
       "",
       {1, failed,
        "pagorin: The update server could not be reached. Please visit 127.0.0.1 to download "
        "the latest version and update manually.\n"}},
      {"http://up.example",
       "",
       {1, failed,
        "pagorin: The update server could not be reached. Please visit up.example to download "
        "the latest version and update manually.\n"}},
      {Http("/same"), "--frobnicate", {2, "", "pagorin: cannot use --frobnicate here\n"}},
      {Http("/same"), "--download", {2, "", "pagorin: --download needs a folder\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.server + " " + c.args);
    std::filesystem::create_directories(folder);
    t.WriteFile(ini, "UPDATESERVER," + c.server + "\r\n");
    const CommandRun run = RunUpdateCheck(t, c.args);
    EXPECT_EQ(c.expected.status, run.status);
    EXPECT_EQ(c.expected.out, run.out);
    // Usage text follows a command line's complaint.
    EXPECT_EQ(c.expected.err, run.err.substr(0, c.expected.err.size()));
    EXPECT_EQ(c.expected.err.empty(), run.err.empty());
    EXPECT_EQ("UPDATESERVER," + c.server + "\r\n", t.ReadFile(ini));
  }
  EXPECT_EQ(std::string(30'000, 'r'), t.ReadFile(folder + "/PagorinUpd.tar.gz"));
}

}  // namespace
}  // namespace pagorin::testing
