#include "support/test_env.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "shared/settings.h"

namespace pagorin::testing {

namespace {

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pagorin-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  return pattern + "/";
}

ProgramPaths PathsUnder(const std::string& root) {
  std::filesystem::create_directories(root + "config/pagorin");
  std::filesystem::create_directories(root + "program");
  setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (root + "data").c_str(), 1);
  setenv("XDG_DATA_DIRS", (root + "system").c_str(), 1);
  // Nothing is installed, and there is no home folder for the Sample's copy.
  return ProgramPaths{root + "config/pagorin/", root + "program/", "pagorin", "", ""};
}

}  // namespace

TimePoint FixedNow() {
  return FromLocal(LocalDateTime{2024, 3, 7, 14, 35, 0});
}

TestEnv::TestEnv()
    : root_(MakeTempFolder()),
      clock(FixedNow()),
      paths(PathsUnder(root_)),
      log(fs, clock, paths),
      locale(log),
      progress(clock, ui),
      env{fs, clock, ui, log, locale, progress, paths, net} {}

TestEnv::~TestEnv() {
  std::error_code ignored;
  // Tests make files and folders read-only; give everything back first.
  for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(root_, ignored);
}

void TestEnv::WriteFile(const std::string& path, const std::string& contents) const {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::string TestEnv::ReadFile(const std::string& path) const {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return {};
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TestEnv::Exists(const std::string& path) const {
  return std::filesystem::exists(path);
}

void TestEnv::Touch(const std::string& path, TimePoint when) const {
  auto file_time = std::chrono::file_clock::from_sys(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(when));
  std::filesystem::last_write_time(path, file_time);
}

std::vector<std::string> TestEnv::List(const std::string& folder) const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ProjectText(std::vector<std::string> lines, const std::vector<std::string>& changes) {
  const auto name_of = [](const std::string& line) { return line.substr(0, line.find(',')); };
  for (const std::string& change : changes) {
    std::erase_if(lines, [&](const std::string& line) { return name_of(line) == name_of(change); });
    if (!change.ends_with(',')) {
      lines.push_back(change);
    }
  }
  if (std::none_of(lines.begin(), lines.end(),
                   [&](const std::string& line) { return name_of(line) == "PROJECTPATH"; })) {
    lines.push_back("PROJECTPATH,./");
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\r\n";
  }
  return text;
}

std::vector<std::string> LogMessages(const TestEnv& t) {
  std::vector<std::string> messages;
  const std::string text = t.ReadFile(t.log.LogFilePath());
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    const std::string line = text.substr(start, end - start);
    const std::size_t message = line.find_first_not_of(' ', line.find(" #1") + 3);
    messages.push_back(message == std::string::npos ? "" : line.substr(message));
    start = end + 2;
  }
  return messages;
}

std::vector<std::string> SettingKeys(const cSHAREDSettings& settings) {
  std::vector<std::string> keys;
  for (const cSHAREDSetting& entry : settings.entries()) {
    keys.push_back(entry.KeyName + "=" + entry.KeyValue.Text());
  }
  return keys;
}

}  // namespace pagorin::testing
