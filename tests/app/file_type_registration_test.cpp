// The person's own registration of the project file type is left out where
// the system's registration already starts this very program.
#include "app/file_type_registration.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_env.h"

namespace pagorin::testing {
namespace {

class SystemRegistrationTest : public ::testing::Test {
 protected:
  SystemRegistrationTest() {
    t.WriteFile(Program(), "#!/bin/sh\n");
    t.WriteFile(t.Path("elsewhere/pagorin"), "#!/bin/sh\n");
    system.data_dirs = {t.Path("local/share"), t.Path("usr/share/")};
    system.path = {t.Path("bin"), t.paths.program_dir};
  }
  std::string Program() const { return t.paths.program_dir + "pagorin"; }
  std::string UserEntry() const { return t.Path("data/applications/pagorin.desktop"); }
  std::string UserMime() const { return t.Path("data/mime/packages/pagorin.xml"); }
  void SystemEntry(const std::string& text, const std::string& dir = "usr/share/") const {
    t.WriteFile(t.Path(dir + "applications/pagorin.desktop"), text);
  }
  void Register() { RegisterFileType(t.env, t.Path("data"), system); }

  TestEnv t;
  SystemFolders system;
};

TEST_F(SystemRegistrationTest, AnEntryIsWrittenUnlessTheSystemsStartsThisProgram) {
  const std::string ours = "MimeType=application/x-pagorin-project;\n";
  const struct {
    std::string name;
    std::string entry;  // the system's, "" for none
    bool written;
  } cases[] = {
      {"no system entry", "", true},
      {"bare name found on the path", "[Desktop Entry]\nExec=pagorin %f\n" + ours, false},
      {"full path", "[Desktop Entry]\nExec=" + Program() + " %f\n" + ours, false},
      {"full path, quoted with a blank",
       "[Desktop Entry]\nExec = \"" + Program() + "\" %f\n" +
           "MimeType = text/plain;application/x-pagorin-project\n",
       false},
      {"a path that leads back",
       "[Desktop Entry]\nExec=" + t.paths.program_dir + "../program/pagorin %f\n" + ours, false},
      {"another program of that name",
       "[Desktop Entry]\nExec=" + t.Path("elsewhere/pagorin") + " %f\n" + ours, true},
      {"a name the path does not find", "[Desktop Entry]\nExec=pagorin-old %f\n" + ours, true},
      {"not for the project type", "[Desktop Entry]\nExec=pagorin %f\nMimeType=text/html;\n", true},
      {"the type in another group",
       "[Desktop Entry]\nExec=pagorin %f\n[Desktop Action New]\n" + ours, true},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(t.Path("usr"));
    std::filesystem::remove_all(t.Path("data"));
    if (!c.entry.empty()) {
      SystemEntry(c.entry);
    }
    Register();
    EXPECT_EQ(c.written, t.Exists(UserEntry())) << c.name;
  }
}

TEST_F(SystemRegistrationTest, TheFirstSystemFolderWithAnEntryIsTheOneThatCounts) {
  SystemEntry(
      "[Desktop Entry]\nExec=/opt/old/pagorin %f\nMimeType=application/x-pagorin-project;\n",
      "local/share/");
  SystemEntry("[Desktop Entry]\nExec=pagorin %f\nMimeType=application/x-pagorin-project;\n");
  Register();
  EXPECT_EQ(DesktopEntryText(Program()), t.ReadFile(UserEntry()));
}

TEST_F(SystemRegistrationTest, AMimePackageIsWrittenUnlessTheSystemHasTheSameOne) {
  const std::string system_package = t.Path("usr/share/mime/packages/pagorin.xml");
  Register();
  EXPECT_EQ(MimePackageText(), t.ReadFile(UserMime()));

  std::filesystem::remove_all(t.Path("data"));
  t.WriteFile(system_package, MimePackageText());
  Register();
  EXPECT_FALSE(t.Exists(UserMime()));

  t.WriteFile(system_package, "<mime-info/>\n");
  Register();
  EXPECT_EQ(MimePackageText(), t.ReadFile(UserMime()));
}

TEST_F(SystemRegistrationTest, APersonsOwnEntryIsKeptUpToDateEvenWhereTheSystemsMatches) {
  SystemEntry("[Desktop Entry]\nExec=pagorin %f\nMimeType=application/x-pagorin-project;\n");
  t.WriteFile(UserEntry(), DesktopEntryText("/home/mara/build/pagorin"));
  Register();
  // Left alone, the old entry would keep starting the old build for .pgx files.
  EXPECT_EQ(DesktopEntryText(Program()), t.ReadFile(UserEntry()));
}

}  // namespace
}  // namespace pagorin::testing
