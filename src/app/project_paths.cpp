#include "app/project_paths.h"

#include "app/engine.h"
#include "shared/file_system.h"
#include "shared/paths.h"

namespace pagorin {

std::string GetProjectPath(const Engine& engine) {
  if (!engine.ProjectLoaded) {
    return engine.env.paths.program_dir;
  }
  const std::string folder = engine.ProjectSettings.sGet("ProjectPath").Text();
  if (folder == ".\\" || folder == "./") {
    return PathOnly(engine.ProjectFile);
  }
  return ToForwardSlashes(addbackslash(folder));
}

std::string TemplatesDir(const Engine& engine) {
  return GetProjectPath(engine) + "Templates/";
}

std::string SiteFolderProblem(const Engine& engine) {
  constexpr const char* kFix = " Choose the site folder in File > Settings and re-run.";
  const std::string folder = GetProjectPath(engine);
  if (folder.empty()) {
    return {};
  }
  if (folder.find(':') != std::string::npos) {
    return "The site folder " + folder +
           " is a Windows drive path, which this computer does not have." + kFix;
  }
  if (folder.find_first_not_of('/') == std::string::npos) {
    return "The site folder is \"/\", the top folder of the whole system, which cannot hold a "
           "site." +
           std::string(kFix);
  }
  const FileInfo info = engine.env.fs.Stat(folder.substr(0, folder.size() - 1));
  if (!info.exists) {
    return "The site folder " + folder + " does not exist." + kFix;
  }
  if (!info.is_directory) {
    return "The site folder " + folder + " is a file, not a folder." + kFix;
  }
  return {};
}

std::string IncludesDir(const Engine& engine) {
  return GetProjectPath(engine) + "Includes/";
}

std::string BuildWebFilename(const Engine& engine, const std::string& name) {
  const std::string root = filewithoutext(name);
  const SettingValue fallback = engine.ProjectSettings.sGet("Extension", ".html");
  const std::string extension = engine.ProjectSettings.sGet("Ext_" + root, fallback).Text();
  return GetProjectPath(engine) + fileonly(root) + extension;
}

SameText BuiltFilesSameText(const Engine& engine) {
  return engine.changed_only || engine.ProjectSettings.sGet("ChangedOnly", 0).AsNumber() != 0
             ? SameText::kKeep
             : SameText::kRewrite;
}

}  // namespace pagorin
