// Publishing over SFTP against OpenSSH's server on 127.0.0.1: the user logs
// in with a key, the server's host key is checked against a known-hosts
// file, and pages reach the server whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "publish/ftp_client_fixture.h"
#include "publish/local_servers.h"
#include "shared/scramble.h"

namespace pagorin::testing {
namespace {

using Strings = std::vector<std::string>;

class SftpTest : public FtpClientTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(Served("site"));
    server_ = std::make_unique<LocalSshServer>(t.Path("ssh"), Served(""));
    if (!server_->error().empty()) {
      GTEST_SKIP() << server_->error();
    }
    ftp.SetTimeout(std::chrono::seconds(5));
    ftp.SetTransferBinary();
  }

  LocalSshServer& server() { return *server_; }
  bool Open() { return ftp.OpenConnection(server().address(), server().user(), "", false); }

 private:
  std::unique_ptr<LocalSshServer> server_;
};

TEST_F(SftpTest, TheServersKeyAndTheUsersKeyDecideTheLogin) {
  const std::string unknown = t.Path("unknown_hosts");
  t.WriteFile(unknown, "");
  const std::string refused_key =
      "error 60 InternetConnect error code: 60 Message: SSL peer certificate or SSH remote key was "
      "not OK";
  const std::string refused_login = "error 67 InternetConnect error code: 67 Message: Login denied";
  struct Case {
    const char* name;
    std::string known_hosts, key_file;
    Strings events;
  };
  const Case cases[] = {
      {"host not known", unknown, server().key_file(), {refused_key}},
      {"no key", server().known_hosts(), "", {refused_login}},
      {"the host's key as the user's",
       server().known_hosts(),
       t.Path("ssh/host_key"),
       {refused_login}},
      {"known host and the user's key", server().known_hosts(), server().key_file(), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    events.clear();
    ftp.SetTrustFiles("", c.known_hosts);
    ftp.SetKeyFile(c.key_file);
    EXPECT_EQ(Open(), c.events.empty());
    EXPECT_EQ(events, c.events);
    ftp.CloseConnection();
  }
}

TEST_F(SftpTest, RemoteFilesAndFolders) {
  t.WriteFile(Served("site/live.html"), "live");
  t.WriteFile(Served("site/two words.html"), "ab");
  ftp.SetTrustFiles("", server().known_hosts());
  ftp.SetKeyFile(server().key_file());
  ASSERT_TRUE(Open());
  ASSERT_TRUE(ftp.SetFTPDirectory("site"));
  EXPECT_EQ(ftp.GetFTPDirectory(), "/site");

  // A page goes to a temporary name, then takes the live page's place.
  std::string page;
  for (int i = 0; i < 600; ++i) {
    page += static_cast<char>(i % 256);
  }
  t.WriteFile(t.Path("page.html"), page);
  EXPECT_TRUE(ftp.FTPUploadFile(t.Path("page.html"), ".live.html.part"));
  EXPECT_EQ(events, Strings({"progress 255/600", "progress 510/600", "progress 510/600",
                             "progress 600/600"}));
  EXPECT_EQ(t.ReadFile(Served("site/live.html")), "live");
  EXPECT_EQ(ftp.GetFTPFileSize(".live.html.part"), 600);
  EXPECT_TRUE(ftp.DeleteFTPFile("live.html"));
  EXPECT_TRUE(ftp.RenameFTPFile(".live.html.part", "live.html"));
  EXPECT_EQ(t.ReadFile(Served("site/live.html")), page);

  EXPECT_TRUE(ftp.CreateFTPDirectory("images"));
  EXPECT_TRUE(ftp.SimpleFTPPutFile(t.Path("page.html"), "images/copy.html"));
  EXPECT_EQ(t.ReadFile(Served("site/images/copy.html")), page);
  EXPECT_EQ(Listing("*.*"),
            Strings({"images folder", "live.html file of 600", "two words.html file of 2"}));
  EXPECT_EQ(Listing("two*"), Strings({"two words.html file of 2"}));
  EXPECT_EQ(ftp.GetDirectoryListing("*.gif"), nullptr);
  EXPECT_EQ(ftp.GetFTPFileSize("two words.html"), 2);
  EXPECT_EQ(ftp.GetFTPFileSize("missing.html"), -1);

  EXPECT_TRUE(ftp.SimpleFTPGetFile(t.Path("back.html"), "images/copy.html"));
  EXPECT_EQ(t.ReadFile(t.Path("back.html")), page);
  EXPECT_TRUE(ftp.DeleteFTPFile("images/copy.html"));
  EXPECT_TRUE(ftp.RemoveFTPDirectory("images"));
  EXPECT_EQ(t.List(Served("site")), Strings({"live.html", "two words.html"}));

  events.clear();
  EXPECT_FALSE(ftp.DeleteFTPFile("missing.html"));
  EXPECT_EQ(
      events,
      Strings({"error 21 DeleteFTPFile error code: 21 Message: Quote command returned error"}));
}

TEST_F(SftpTest, PublishSendsThePagesWhole) {
  for (const char* name : {"about", "index"}) {
    t.WriteFile(t.Path(std::string("site/Templates/") + name + ".template"), name);
    t.WriteFile(t.Path(std::string("site/") + name + ".html"), std::string(70000, name[0]));
  }
  t.WriteFile(Served("site/index.html"), "live index");
  std::filesystem::create_directories(t.Path("site/Includes"));
  t.WriteFile(t.Path("site/site.pgx"),
              ProjectText({"BASEURL," + server().address(), "FTPLOGINNAME," + server().user(),
                           "FTPPASSWORD," + Encrypt("not asked"), "FTPPATH,/site/", "FTPTIMEOUT,5",
                           "FTPKnownHosts," + server().known_hosts(),
                           "FTPKEYFILE," + server().key_file()}));
  const int status =
      RunProgram({PAGORIN_EXECUTABLE, "publish", t.Path("site/site.pgx")}, t.Path("stderr.txt"));
  EXPECT_EQ(t.ReadFile(t.Path("stderr.txt")),
            "pagorin: Connecting to FTP server\n"
            "pagorin: Uploading about.html\n"
            "pagorin: Uploading index.html\n"
            "pagorin: All Uploads Complete\n"
            "pagorin: Remember to upload your images, css files, etc.\n");
  EXPECT_EQ(status, 0);
  // Compared as truth values: a mismatch would print 70,000 letters.
  EXPECT_TRUE(t.ReadFile(Served("site/about.html")) == std::string(70000, 'a'));
  EXPECT_TRUE(t.ReadFile(Served("site/index.html")) == std::string(70000, 'i'));
  EXPECT_EQ(t.List(Served("site")), Strings({"about.html", "index.html"}));
}

}  // namespace
}  // namespace pagorin::testing
