// The FTP client against a real FTP server on 127.0.0.1.
#include "publish/cls_ftp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "publish/ftp_client_fixture.h"
#include "publish/local_servers.h"

namespace pagorin::testing {
namespace {

using Strings = std::vector<std::string>;

class ClsFtpTest : public FtpClientTest {
 protected:
  ClsFtpTest() {
    std::filesystem::create_directories(Served("site"));
    ftp.FileTransferStatus = [this](const std::string& text) {
      events.push_back("status " + text);
    };
    ftp.SetTimeout(std::chrono::seconds(2));
  }

  bool Open(const LocalFtpServer& server, const std::string& password = "secret") {
    return ftp.OpenConnection(server.address(), "web", password, false);
  }
};

TEST_F(ClsFtpTest, UploadsGoInChunksOf255WithTheirEventsAndArriveByteForByte) {
  struct Case {
    int size;
    Strings events;
  };
  const Case cases[] = {
      {0, {"progress 0/0", "progress 0/0", "status Closing file"}},
      {1, {"progress 0/1", "progress 1/1", "status Closing file"}},
      {255, {"progress 255/255", "progress 255/255", "progress 255/255", "status Closing file"}},
      {510,
       {"progress 255/510", "progress 510/510", "progress 510/510", "progress 510/510",
        "status Closing file"}},
      {511,
       {"progress 255/511", "progress 510/511", "progress 510/511", "progress 511/511",
        "status Closing file"}},
  };
  LocalFtpServer server(Served(""));
  for (bool passive : {false, true}) {
    passive ? ftp.SetModePassive() : ftp.SetModeActive();
    ftp.SetTransferBinary();
    ASSERT_TRUE(Open(server));
    ASSERT_TRUE(ftp.SetFTPDirectory("/site/"));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.size) + (passive ? " passive" : " active"));
      std::string bytes;
      for (int i = 0; i < c.size; ++i) {
        bytes += static_cast<char>(i % 251 == 13 ? '\r' : i % 256);
      }
      t.WriteFile(t.Path("page.bin"), bytes);
      events.clear();
      EXPECT_TRUE(ftp.FTPUploadFile(t.Path("page.bin"), "  page.bin "));
      EXPECT_EQ(events, c.events);
      EXPECT_EQ(t.ReadFile(Served("site/page.bin")), bytes);
    }
    ftp.CloseConnection();
  }
}

TEST_F(ClsFtpTest, RemoteFilesAndFolders) {
  LocalFtpServer server(Served(""));
  t.WriteFile(Served("site/old.html"), std::string(600, 'x'));
  t.WriteFile(Served("site/two words.html"), "ab");
  ASSERT_TRUE(Open(server));
  EXPECT_EQ(ftp.GetFTPDirectory(), "/");
  ASSERT_TRUE(ftp.SetFTPDirectory("site"));
  EXPECT_EQ(ftp.GetFTPDirectory(), "/site");

  EXPECT_EQ(ftp.GetFTPFileSize("old.html"), 600);
  EXPECT_EQ(ftp.GetFTPFileSize("two words.html"), 2);
  EXPECT_EQ(ftp.GetFTPFileSize("missing.html"), -1);

  EXPECT_TRUE(ftp.CreateFTPDirectory("images"));
  EXPECT_TRUE(std::filesystem::is_directory(Served("site/images")));
  EXPECT_TRUE(ftp.RenameFTPFile("old.html", "new.html"));
  EXPECT_EQ(Listing("*.*"),
            Strings({"images folder", "new.html file of 600", "two words.html file of 2"}));
  EXPECT_EQ(ftp.GetDirectoryListing("*.html")->Count(), 2);
  EXPECT_EQ(ftp.GetDirectoryListing("*.gif"), nullptr);

  events.clear();
  ftp.SetTransferBinary();
  EXPECT_TRUE(ftp.FTPDownloadFile(t.Path("copy.html"), "new.html"));
  EXPECT_EQ(t.ReadFile(t.Path("copy.html")), std::string(600, 'x'));
  EXPECT_EQ(events, Strings({"progress 255/600", "progress 510/600", "progress 600/600"}));
  EXPECT_TRUE(ftp.SimpleFTPGetFile(t.Path("simple.html"), "two words.html"));
  EXPECT_EQ(t.ReadFile(t.Path("simple.html")), "ab");
  EXPECT_TRUE(ftp.SimpleFTPPutFile(t.Path("simple.html"), "put.html"));
  EXPECT_EQ(t.ReadFile(Served("site/put.html")), "ab");

  EXPECT_TRUE(ftp.DeleteFTPFile("new.html"));
  EXPECT_TRUE(ftp.RemoveFTPDirectory("images"));
  EXPECT_FALSE(std::filesystem::exists(Served("site/new.html")));
  EXPECT_FALSE(std::filesystem::exists(Served("site/images")));
  EXPECT_EQ(events.size(), 3u);
}

// A server whose listing never ends: the client stops reading at the
// listing limit and says why, and the connection still works.
TEST_F(ClsFtpTest, AListingThatNeverEndsIsCutAtItsLimit) {
  LocalFtpServer server(Served(""), "endless-list");
  ASSERT_TRUE(Open(server));
  ASSERT_TRUE(ftp.SetFTPDirectory("site"));
  events.clear();
  EXPECT_EQ(ftp.GetDirectoryListing("*.*"), nullptr);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].ends_with(
      "The listing of the folder \"/site\" is longer than 16 MB, more than any site needs; it "
      "was not read"))
      << events[0];
  EXPECT_EQ(ftp.GetFTPFileSize("missing.html"), -1);
  t.WriteFile(Served("site/page.html"), "ab");
  EXPECT_EQ(ftp.GetFTPFileSize("page.html"), 2);
}

TEST_F(ClsFtpTest, FailuresGiveOneEventWithTheirLabelNumberAndText) {
  LocalFtpServer server(Served(""));
  t.WriteFile(Served("site/live.html"), "live");
  struct Case {
    const char* name;
    std::function<bool()> call;
    Strings events;
  };
  const Case cases[] = {
      {"wrong password",
       [&] { return Open(server, "wrong"); },
       {"error 67 InternetConnect error code: 67 Message: 530 Authentication failed."}},
      {"missing folder",
       [&] { return Open(server) && ftp.SetFTPDirectory("nowhere"); },
       {"error 9 FtpSetCurrentDirectory error code: 9 Message: 550 No such file or directory."}},
      {"blank names",
       [&] { return ftp.FTPUploadFile("  ", "x") || ftp.FTPUploadFile("x", " "); },
       {}},
      {"missing local file",
       [&] { return ftp.FTPUploadFile(t.Path("none.html"), "site/live.html"); },
       {"error 53 OpenLocalFile error code: 53 Message: open " + t.Path("none.html") +
        ": No such file or directory"}},
      {"rename of a missing file",
       [&] { return ftp.RenameFTPFile("none", "other"); },
       {"error 21 RenameFTPFile error code: 21 Message: 550 No such file or directory."}},
      {"delete of a missing file",
       [&] { return ftp.DeleteFTPFile("none"); },
       {"error 21 DeleteFTPFile error code: 21 Message: 550 No such file or directory."}},
      {"download of a missing file", [&] { return ftp.FTPDownloadFile(t.Path("x"), "none"); }, {}},
      {"not connected",
       [&] {
         ftp.CloseConnection();
         return ftp.DeleteFTPFile("site/live.html");
       },
       {"error 2 DeleteFTPFile error code: 2 Message: Not connected to a server"}},
  };
  ASSERT_TRUE(Open(server));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    events.clear();
    EXPECT_FALSE(c.call());
    EXPECT_EQ(events, c.events);
    if (!c.events.empty()) {
      EXPECT_EQ(ftp.GetLastErrorMessage(),
                c.events.back().substr(c.events.back().find(' ', 6) + 1));
    }
  }
  EXPECT_EQ(t.ReadFile(Served("site/live.html")), "live");

  events.clear();
  EXPECT_FALSE(ftp.OpenConnection("127.0.0.1:1", "web", "secret", false));
  EXPECT_EQ(events,
            Strings({"error 7 InternetConnect error code: 7 Message: Couldn't connect to server"}));
}

// Only the control connection: Debian's pyftpdlib resets libcurl's TLS
// handshake on its data connections, so files are not sent here.
TEST_F(ClsFtpTest, FtpsSecuresTheSessionWithTheServersCertificate) {
  LocalFtpServer server(Served(""), "", /*tls=*/true);
  t.WriteFile(Served("site/page.html"), std::string(700, 'p'));
  // Not trusted: the certificate is the test's own.
  EXPECT_FALSE(Open(server));
  EXPECT_EQ(events, Strings({"error 60 InternetConnect error code: 60 Message: SSL peer "
                             "certificate or SSH remote key was not OK"}));

  ftp.SetTrustFiles(server.certificate(), "");
  ASSERT_TRUE(Open(server));
  EXPECT_TRUE(ftp.SetFTPDirectory("site"));
  EXPECT_EQ(ftp.GetFTPFileSize("page.html"), 700);
  EXPECT_TRUE(ftp.RenameFTPFile("page.html", "moved.html"));
  EXPECT_EQ(t.ReadFile(Served("site/moved.html")), std::string(700, 'p'));
}

}  // namespace
}  // namespace pagorin::testing
