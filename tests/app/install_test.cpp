// `cmake --install` into a fresh prefix, and the installed program run from
// there as a person would run it after installing the package.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "shared/help.h"
#include "shared/program_paths.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Passed(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(" ") + name + "='" + value + "'";
}

TEST(Install, PutsEachFileInItsPlaceAndTheInstalledProgramWorksOnACopyOfTheSample) {
  TestEnv t;
  const std::string prefix = t.Path("usr");
  ASSERT_EQ(0, Shell("'" PAGORIN_CMAKE "' --install '" PAGORIN_BINARY_DIR "' --prefix '" + prefix +
                     "' >'" + t.Path("install.log") + "' 2>&1"))
      << t.ReadFile(t.Path("install.log"));
  for (const char* file : {
           "bin/pagorin",
           "share/applications/pagorin.desktop",
           "share/mime/packages/pagorin.xml",
           "share/icons/hicolor/scalable/apps/pagorin.svg",
           "share/icons/hicolor/16x16/apps/pagorin.png",
           "share/icons/hicolor/256x256/apps/pagorin.png",
           "share/metainfo/example.pagorin.Pagorin.metainfo.xml",
           "share/man/man1/pagorin.1.gz",
           "share/pagorin/Sample/Sample.pgx",
           "share/pagorin/Sample/Includes/nav/menu.inc",
       }) {
    EXPECT_TRUE(fs::is_regular_file(prefix + "/" + file)) << file;
  }
  // The manual is its built pages, their style sheet and the icon; its
  // project, templates and includes stay behind.
  std::set<std::string> expected_manual = {"manual.css", "pagorin.svg"};
  for (const auto& entry : fs::directory_iterator(PAGORIN_SOURCE_DIR "/docs/manual/Templates")) {
    expected_manual.insert(entry.path().stem().string() + ".html");
  }
  std::set<std::string> manual;
  for (const auto& entry : fs::directory_iterator(prefix + "/share/pagorin/manual")) {
    manual.insert(entry.path().filename().string() + (entry.is_regular_file() ? "" : "/"));
  }
  EXPECT_EQ(expected_manual, manual);
  const std::string index = t.ReadFile(prefix + "/share/pagorin/manual/index.html");
  EXPECT_TRUE(index.starts_with("<!DOCTYPE html>\n")) << index;
  EXPECT_NE(std::string::npos, index.find("<title>Pagorin manual</title>"));
  EXPECT_TRUE(index.ends_with(
      "<footer class=\"bottom\"><div class=\"wrap\">Pagorin manual · <a href=\"first-site.html\">"
      "Next: your first site</a></div></footer>\n</body>\n</html>\n"))
      << index;
  const std::string markup = t.ReadFile(prefix + "/share/pagorin/manual/markup.html");
  EXPECT_NE(std::string::npos, markup.find("<tr><td><code>[include=footer.inc]</code></td>"));
  EXPECT_NE(std::string::npos,
            markup.find("<tr><td><code>$LONGDATE</code>, <code>$PAGEURL</code>"));
  // Help of the installed program opens the installed first page.
  t.paths = WorkOutProgramPaths(t.fs, {prefix + "/bin/pagorin", t.Path("config"), t.Path("home")});
  ShowHelp(t.env);
  EXPECT_EQ(std::vector<std::string>{prefix + "/share/pagorin/manual/index.html"},
            t.ui.opened_documents);
  EXPECT_EQ(0, Shell("gunzip -c '" + prefix + "/share/man/man1/pagorin.1.gz' | cmp -s - '" +
                     PAGORIN_SOURCE_DIR "/docs/pagorin.1'"));

  // The system's folders hold the installed registration, so the program
  // writes none of its own.
  const std::string home = t.Path("home");
  fs::create_directories(home);
  const std::string command =
      "env -i HOME='" + home + "' PATH='" + prefix + "/bin:/usr/bin:/bin' XDG_DATA_DIRS='" +
      prefix + "/share' TZ=UTC LC_ALL=C SOURCE_DATE_EPOCH=1709822100" + Passed("ASAN_OPTIONS") +
      Passed("UBSAN_OPTIONS") + " '" + prefix + "/bin/pagorin' /AUTO '" + prefix +
      "/share/pagorin/Sample/Sample.pgx' >/dev/null 2>'" + t.Path("stderr.txt") + "'";
  EXPECT_EQ(0, Shell(command));
  EXPECT_EQ("pagorin: Pagorin copied its Sample project to " + home +
                "/Pagorin/Sample/. The copy is yours to change and build; the installed Sample "
                "stays as it is.\n",
            t.ReadFile(t.Path("stderr.txt")));
  EXPECT_NE(std::string::npos,
            t.ReadFile(home + "/Pagorin/Sample/index.html").find("<h1>Kestrel Tide Tables</h1>"));
  EXPECT_FALSE(fs::exists(prefix + "/share/pagorin/Sample/index.html"));
  EXPECT_NE(std::string::npos, t.ReadFile(home + "/.config/pagorin/Pagorin.ini")
                                   .find("LASTLOADED," + home + "/Pagorin/Sample/Sample.pgx\r\n"));
  EXPECT_FALSE(fs::exists(home + "/.local/share/applications"));
  EXPECT_FALSE(fs::exists(home + "/.local/share/mime"));
}

}  // namespace
}  // namespace pagorin::testing
