// The manual page and the desktop files installed beside the program say
// what the program itself does. Commands and options are read from the
// sources, so a command added without its page fails here.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "app/file_type_registration.h"
#include "shared/log.h"

namespace pagorin::testing {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path Source(const std::string& relative) {
  return fs::path(PAGORIN_SOURCE_DIR) / relative;
}

// The subcommands of the executable and the functions that run them.
std::map<std::string, std::string> Subcommands() {
  const std::string main = Read(Source("src/main.cpp"));
  const size_t table = main.find("kSubcommands[] = {");
  const std::string entries = main.substr(table, main.find("};", table) - table);
  std::map<std::string, std::string> subcommands;
  const std::regex entry(R"re(\{"([a-z-]+)",\s*(?:pagorin::)?(\w+)\})re");
  for (std::sregex_iterator it(entries.begin(), entries.end(), entry), end; it != end; ++it) {
    subcommands[(*it)[1]] = (*it)[2];
  }
  return subcommands;
}

// The sources that read command lines: the program's own, and each file that
// defines a subcommand's function.
std::vector<fs::path> CommandSources(const std::map<std::string, std::string>& subcommands) {
  std::vector<fs::path> sources = {Source("src/app/command_line.cpp")};
  for (const auto& entry : fs::recursive_directory_iterator(Source("src"))) {
    if (entry.path().extension() != ".cpp") {
      continue;
    }
    const std::string text = Read(entry.path());
    for (const auto& [name, function] : subcommands) {
      if (text.find("int " + function + "(") != std::string::npos) {
        sources.push_back(entry.path());
      }
    }
  }
  return sources;
}

// The page's text with roff's "\-" read as the hyphen it stands for.
std::string PageText() {
  return std::regex_replace(Read(Source("docs/pagorin.1")), std::regex(R"(\\-)"), "-");
}

TEST(ManPage, NamesEveryCommandAndOptionOfTheSources) {
  const std::string page = PageText();
  const auto subcommands = Subcommands();
  ASSERT_TRUE(subcommands.contains("news"));
  for (const auto& [name, function] : subcommands) {
    EXPECT_TRUE(std::regex_search(page, std::regex("\n\\.SS \"pagorin " + name + "[ \"]")))
        << "no section for the command " << name;
  }
  std::set<std::string> options;
  const std::regex option("\"(--[a-z][a-z0-9-]*)\"");
  for (const fs::path& source : CommandSources(subcommands)) {
    const std::string text = Read(source);
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) {
      options.insert((*it)[1]);
    }
  }
  ASSERT_TRUE(options.contains("--auto") && options.contains("--title"));
  for (const std::string& name : options) {
    // A whole option: "--with" is not found inside "--with-files".
    EXPECT_TRUE(std::regex_search(page, std::regex(name + "(?![a-z0-9-])")))
        << "the option " << name << " is not described";
  }
  EXPECT_NE(std::string::npos, page.find(".BR /AUTO \", \" --auto"));
}

TEST(ManPage, RendersWithoutWarnings) {
  ASSERT_TRUE(fs::exists("/usr/bin/groff")) << "groff is needed: scripts/install-deps groff-base";
  const std::string command =
      "groff -man -Tutf8 -ww -z '" + Source("docs/pagorin.1").string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  std::string warnings;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
    warnings += buffer;
  }
  EXPECT_EQ(0, pclose(pipe));
  EXPECT_EQ("", warnings);
}

// The keys of a desktop entry's main group.
std::map<std::string, std::string> EntryKeys(const std::string& entry) {
  std::map<std::string, std::string> keys;
  std::istringstream lines(entry);
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) {
      keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return keys;
}

TEST(InstalledDesktopFiles, AgreeWithThePersonsOwnRegistration) {
  EXPECT_EQ(MimePackageText(), Read(Source("data/pagorin-mime.xml")));

  auto installed = EntryKeys(Read(Source("data/pagorin.desktop")));
  EXPECT_EQ("pagorin %f", installed["Exec"]);
  for (const auto& [key, value] : EntryKeys(DesktopEntryText("/opt/pagorin/pagorin"))) {
    if (key != "Exec") {
      EXPECT_EQ(value, installed[key]) << key;
    }
  }
}

TEST(InstalledDesktopFiles, TheNewestReleaseInTheMetainfoIsThisVersion) {
  const std::string metainfo = Read(Source("data/example.pagorin.Pagorin.metainfo.xml"));
  std::smatch release;
  ASSERT_TRUE(std::regex_search(metainfo, release, std::regex("<release version=\"([^\"]+)\"")));
  EXPECT_EQ(AppVersion(), release[1].str());
}

}  // namespace
}  // namespace pagorin::testing
