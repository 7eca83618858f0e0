#include "shared/program_paths.h"

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "pagorin_install_dirs.h"
#include "shared/paths.h"

namespace pagorin {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// A portable install keeps its settings beside the executable only when both
// the settings file and its folder take writes (saves go through a temporary
// file in that folder).
bool IsWritablePortableInstall(FileSystem& fs, const std::string& program_dir) {
  const std::string settings = program_dir + "Pagorin.ini";
  FileInfo info = fs.Stat(settings);
  if (!info.exists || info.is_directory || info.read_only || fs.Stat(program_dir).read_only) {
    return false;
  }
  std::unique_ptr<OutputFile> file;
  if (!fs.OpenOutput(settings, FileSystem::OpenMode::kAppend, &file).ok()) {
    return false;
  }
  return file->Close().ok();
}

// Creates every missing level of an absolute folder path.
void MakeFolders(FileSystem& fs, const std::string& folder) {
  std::string level;
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    level = folder.substr(0, slash);
    if (!fs.Stat(level).exists) {
      fs.MakeDirectory(level);
    }
  }
}

}  // namespace

ProgramLocation CurrentProgramLocation() {
  ProgramLocation location;
  char buffer[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length > 0 && static_cast<size_t>(length) < sizeof buffer) {
    location.executable.assign(buffer, static_cast<size_t>(length));
  }
  location.xdg_config_home = Variable("XDG_CONFIG_HOME");
  location.home = Variable("HOME");
  if (location.home.empty()) {
    if (const struct passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir) {
      location.home = user->pw_dir;
    }
  }
  return location;
}

ProgramPaths WorkOutProgramPaths(FileSystem& fs, const ProgramLocation& location) {
  ProgramPaths paths;
  paths.program_dir = location.executable.empty() ? "./" : PathOnly(location.executable);
  paths.program_name = location.executable.empty() ? "pagorin" : fileonly(location.executable);
  paths.installed_dir = addbackslash(
      std::filesystem::path(paths.program_dir + PAGORIN_DATA_FROM_BIN).lexically_normal().string());
  if (!location.home.empty()) {
    paths.projects_dir = addbackslash(location.home) + "Pagorin/";
  }
  if (IsWritablePortableInstall(fs, paths.program_dir)) {
    paths.data_dir = paths.program_dir;
    return paths;
  }
  // A relative $XDG_CONFIG_HOME is invalid and ignored, as the base
  // directory rules ask.
  std::string config = location.xdg_config_home;
  if (config.empty() || config.front() != '/') {
    if (location.home.empty()) {
      paths.data_dir = paths.program_dir;  // nowhere else to go
      return paths;
    }
    config = addbackslash(location.home) + ".config";
  }
  paths.data_dir = addbackslash(config) + "pagorin/";
  MakeFolders(fs, paths.data_dir);
  return paths;
}

}  // namespace pagorin
