#include "app/sample_copy.h"

#include <filesystem>
#include <vector>

#include "shared/file_subs.h"
#include "shared/file_system.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

std::string InstalledSampleFolder(Env& env) {
  if (env.paths.installed_dir.empty()) {
    return {};
  }
  const std::string folder = env.paths.installed_dir + "Sample/";
  return FileSubs(env).FolderExists(folder) ? folder : std::string();
}

std::string NormalFolder(const std::string& path) {
  return addbackslash(std::filesystem::path(PathOnly(path)).lexically_normal().string());
}

// Copies what `target` lacks of `source`, folders included, leaving out the
// file `last`. On a failure *failed names the file that could not be copied.
bool CopyMissing(Env& env, const std::string& source, const std::string& target,
                 const std::string& last, std::string* failed) {
  FileSubs files(env);
  files.MkMissingDir(target);
  std::vector<DirEntry> entries;
  if (!env.fs.ListDirectory(source, &entries).ok() || !files.FolderExists(target)) {
    *failed = source;
    return false;
  }
  for (const DirEntry& entry : entries) {
    const std::string from = source + entry.name;
    const std::string to = target + entry.name;
    if (entry.is_directory) {
      if (!CopyMissing(env, from + "/", to + "/", {}, failed)) {
        return false;
      }
    } else if (entry.name != last && !env.fs.Stat(to).exists && !files.copyfile(from, to)) {
      files.EraseFile(to);  // never leave half a file to be taken for a whole one
      *failed = from;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string InstalledSampleProject(Env& env) {
  const std::string folder = InstalledSampleFolder(env);
  return folder.empty() ? std::string() : folder + "Sample.pgx";
}

std::string WritableProject(Env& env, const std::string& project) {
  const std::string sample = InstalledSampleFolder(env);
  if (sample.empty() || project.empty() || NormalFolder(project) != sample) {
    return project;
  }
  const std::string name = fileonly(project);
  const std::string copy = env.paths.projects_dir + "Sample/";
  FileSubs files(env);
  if (!env.paths.projects_dir.empty() && files.FileExists(copy + name)) {
    return copy + name;
  }
  std::string failed;
  bool copied = !env.paths.projects_dir.empty() && CopyMissing(env, sample, copy, name, &failed);
  if (copied && files.FileExists(sample + name) && !files.copyfile(sample + name, copy + name)) {
    files.EraseFile(copy + name);
    failed = sample + name;
    copied = false;
  }
  if (!copied) {
    const std::string text =
        env.paths.projects_dir.empty()
            ? "The Sample project was not opened: there is no home folder to copy it to, and "
              "the installed Sample cannot be changed."
            : "The Sample project was not opened: Pagorin could not copy " + failed + " to " +
                  copy + ", and the installed Sample cannot be changed.";
    env.log.LogEvent(text);
    env.ui.ShowMessage(text, Buttons::kOk, "Open Project", Icon::kExclamation);
    return {};
  }
  const std::string text = "Pagorin copied its Sample project to " + copy +
                           ". The copy is yours to change and build; the installed Sample stays "
                           "as it is.";
  env.log.LogEvent(text);
  env.ui.ShowMessage(text, Buttons::kOk, "Sample project", Icon::kInformation);
  return copy + name;
}

}  // namespace pagorin
