// `pagorin publish` end to end: the real executable against a local FTP
// server that fails the way real servers do. Whatever goes wrong, the live
// pages stay byte for byte as they were and no temporary file is left.
#include "publish/publish_command.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "publish/local_servers.h"
#include "shared/scramble.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

using Strings = std::vector<std::string>;

// Large enough that a transfer the server breaks off is still being sent
// when it does, whatever the socket buffers hold.
constexpr std::size_t kPageSize = 4000000;

class PublishCommandTest : public ::testing::Test {
 protected:
  PublishCommandTest() {
    std::filesystem::create_directories(t.Path("server/site"));
    for (const char* name : {"about", "index"}) {
      t.WriteFile(Site(std::string("Templates/") + name + ".template"), name);
      t.WriteFile(Site(std::string(name) + ".html"), std::string(kPageSize, name[0]));
      t.WriteFile(Served(std::string("site/") + name + ".html"), std::string("live ") + name);
    }
    std::filesystem::create_directories(Site("Includes"));
  }

  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }
  std::string Served(const std::string& relative) const { return t.Path("server/" + relative); }

  // The project's FTP settings point at `server_address`; `changes` replace
  // lines ("FTPPATH,/nowhere/") or, without a value, remove them.
  void WriteProject(const std::string& server_address, const Strings& changes = {}) {
    t.WriteFile(Site("site.pgx"),
                ProjectText({"BASEURL," + server_address, "FTPLOGINNAME,web",
                             "FTPPASSWORD," + Encrypt("secret"), "FTPPATH,/site/", "FTPTIMEOUT,2"},
                            changes));
  }

  // Runs pagorin publish; the exit status, and *errors its standard error.
  int Publish(const Strings& args, std::string* errors) {
    Strings argv = {PAGORIN_EXECUTABLE, "publish", Site("site.pgx")};
    argv.insert(argv.end(), args.begin(), args.end());
    const int status = RunProgram(argv, t.Path("stderr.txt"));
    *errors = t.ReadFile(t.Path("stderr.txt"));
    return status;
  }

  Strings ServedFiles() const { return t.List(Served("site")); }

  TestEnv t;
};

TEST_F(PublishCommandTest, FaultsLeaveTheLivePagesAsTheyWere) {
  struct Case {
    const char* fault;  // of the server; "" for none
    Strings project_changes;
    int status;
    std::string errors;
  };
  const std::string start = "pagorin: Connecting to FTP server\n";
  const std::string about = start + "pagorin: Uploading about.html\n";
  const std::string failed =
      "pagorin: Error uploading about.html\n"
      "pagorin: Remember to upload your images, css files, etc.\n";
  const Case cases[] = {
      {"refuse-store",
       {},
       1,
       about +
           "pagorin: FtpOpenFile:PutFile error code: 25 Message: 552 Requested file action "
           "aborted. Exceeded storage allocation.\n" +
           failed},
      {"abort-store",
       {},
       1,
       about +
           "pagorin: InternetWriteFile error code: 55 Message: Failed sending data to the peer\n" +
           failed},
      {"drop-data",
       {},
       1,
       about +
           "pagorin: InternetWriteFile error code: 55 Message: Failed sending data to the peer\n" +
           failed},
      {"refuse-rename",
       {},
       1,
       about + "pagorin: RenameFTPFile error code: 21 Message: 550 Rename refused.\n" + failed},
      {"stall",
       {},
       1,
       about + "pagorin: FtpOpenFile:PutFile error code: 28 Message: Timeout was reached\n" +
           failed},
      {"",
       {"BASEURL,127.0.0.1:1"},
       2,
       start + "pagorin: InternetConnect error code: 7 Message: Couldn't connect to server\n"
               "pagorin: Could not connect to 127.0.0.1:1\n"},
      {"",
       {"FTPPASSWORD,wrong"},
       2,
       start + "pagorin: InternetConnect error code: 67 Message: 530 Authentication failed.\n"
               "pagorin: Could not connect to SERVER\n"},
      {"",
       {"FTPPATH,/nowhere/"},
       2,
       start + "pagorin: FtpSetCurrentDirectory error code: 9 Message: 550 No such file or "
               "directory.\n"
               "pagorin: Could not set path to /nowhere/\n"},
      {"",
       {"FTPLOGINNAME,"},
       2,
       "pagorin: Please specify your FTP configuration on the settings form\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault + std::string(" ") +
                 (c.project_changes.empty() ? "" : c.project_changes[0]));
    LocalFtpServer server(Served(""), c.fault);
    WriteProject(server.address(), c.project_changes);
    std::string errors;
    EXPECT_EQ(Publish({}, &errors), c.status);
    std::string expected = c.errors;
    const std::size_t at = expected.find("SERVER");
    if (at != std::string::npos) {
      expected.replace(at, 6, server.address());
    }
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(t.ReadFile(Served("site/about.html")), "live about");
    EXPECT_EQ(t.ReadFile(Served("site/index.html")), "live index");
    EXPECT_EQ(ServedFiles(), Strings({"about.html", "index.html"}));
  }
}

TEST_F(PublishCommandTest, PagesArriveWholeAndAnUnchangedSiteSendsNothingTheSecondTime) {
  LocalFtpServer server(Served(""));
  WriteProject(server.address());
  std::string errors;
  EXPECT_EQ(Publish({"--changed"}, &errors), 0);
  EXPECT_EQ(errors,
            "pagorin: Connecting to FTP server\n"
            "pagorin: Uploading about.html\n"
            "pagorin: Uploading index.html\n"
            "pagorin: All Uploads Complete\n"
            "pagorin: Remember to upload your images, css files, etc.\n"
            "pagorin: 2 sent, 0 unchanged\n");
  EXPECT_EQ(t.ReadFile(Served("site/about.html")), std::string(kPageSize, 'a'));
  EXPECT_EQ(t.ReadFile(Served("site/index.html")), std::string(kPageSize, 'i'));

  t.WriteFile(Site("index.html"), "new index");
  EXPECT_EQ(Publish({"--changed", "--selected", "index", "about.template"}, &errors), 0);
  EXPECT_EQ(errors,
            "pagorin: Connecting to FTP server\n"
            "pagorin: Uploading index.html\n"
            "pagorin: All Uploads Complete\n"
            "pagorin: 1 sent, 1 unchanged\n");
  EXPECT_EQ(t.ReadFile(Served("site/index.html")), "new index");
  EXPECT_EQ(ServedFiles(), Strings({"about.html", "index.html"}));

  t.WriteFile(Site("images/logo.png"), "png\r\n");
  std::filesystem::create_directories(Served("site/images"));
  EXPECT_EQ(Publish({"--file", Site("images/logo.png"), "--binary"}, &errors), 0);
  EXPECT_EQ(errors,
            "pagorin: Uploading logo.png\n"
            "pagorin: Uploaded logo.png to /site/images/\n");
  EXPECT_EQ(t.ReadFile(Served("site/images/logo.png")), "png\r\n");
}

TEST_F(PublishCommandTest, CommandLinesThatCannotBeUsed) {
  struct Case {
    Strings args;
    std::string error;
  };
  const Case cases[] = {
      {{}, "name the project file"},
      {{"a.pgx", "b.pgx"}, "one project file only (a.pgx and b.pgx)"},
      {{"a.pgx", "--selected"}, "--selected needs at least one template name"},
      {{"a.pgx", "--file"}, "--file needs a path"},
      {{"a.pgx", "--file", "x.png", "--changed"},
       "--file sends one file; --selected, --changed and --with-files are for pages"},
      {{"a.pgx", "--binary"}, "--binary goes with --file"},
      {{"a.pgx", "--password=x"}, "unknown option --password=x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParsePublishLine(c.args).error, c.error);
  }
  const PublishLine line =
      ParsePublishLine({"p.pgx", "--selected", "a", "b.template", "--changed", "--with-files"});
  EXPECT_EQ(line.selected, Strings({"a", "b.template"}));
  EXPECT_TRUE(line.changed && line.with_files && line.error.empty());

  std::string errors;
  WriteProject("127.0.0.1:1");
  EXPECT_EQ(Publish({"--selected", "missing"}, &errors), 2);
  EXPECT_EQ(errors,
            "pagorin: missing is not a template of this project, so nothing was uploaded.\n");
  EXPECT_EQ(RunProgram({PAGORIN_EXECUTABLE, "publish", "--help"}), 0);
  EXPECT_EQ(RunProgram({PAGORIN_EXECUTABLE, "publish"}, t.Path("stderr.txt")), 2);
  EXPECT_EQ(t.ReadFile(t.Path("stderr.txt")),
            "pagorin: name the project file\n" + PublishUsageText());
}

}  // namespace
}  // namespace pagorin::testing
