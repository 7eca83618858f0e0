// `pagorin publish` to a local FTP server, killed with SIGKILL at random
// moments (see support/killed_runs.h): every live page on the server is its
// old bytes or its new ones, and the next run sends the rest.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "publish/local_servers.h"
#include "shared/scramble.h"
#include "support/killed_runs.h"

namespace pagorin::testing {
namespace {

TEST(KilledPublish, LivePagesStayOldOrNew) {
  TestEnv t;
  std::filesystem::create_directories(t.Path("server/site"));
  std::filesystem::create_directories(t.Path("site/Includes"));
  for (int i = 0; i < 30; ++i) {
    const std::string name = "page" + std::to_string(i);
    t.WriteFile(t.Path("site/Templates/" + name + ".template"), name);
    t.WriteFile(t.Path("site/" + name + ".html"),
                std::string(20'000, static_cast<char>('a' + i % 26)));
    t.WriteFile(t.Path("server/site/" + name + ".html"), "live " + name);
  }
  LocalFtpServer server(t.Path("server/"));
  t.WriteFile(t.Path("site/site.pgx"),
              "BASEURL," + server.address() + "\r\nFTPLOGINNAME,web\r\nFTPPASSWORD," +
                  Encrypt("secret") + "\r\nFTPPATH,/site/\r\nFTPTIMEOUT,5\r\nPROJECTPATH,./\r\n");
  KilledOperation op("publish", [&] {
    return StartProgram(t, PAGORIN_EXECUTABLE, {"publish", "site/site.pgx"}, "1709822100",
                        t.Path("stderr.txt"));
  });
  // The record of what arrived grows line by line as files arrive; the
  // server's temporary files of a killed run are replaced by the next one's.
  op.may_differ = [](const std::string& path) { return path == "site/site.uploads"; };
  const KillFigures figures = KillInTurn(t, op, 20240311);
  std::printf("[ figures  ] publish: %d kill rounds, %d killed before the end\n", figures.rounds,
              figures.killed_before_the_end);
}

}  // namespace
}  // namespace pagorin::testing
