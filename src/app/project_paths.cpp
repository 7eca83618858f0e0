#include "app/project_paths.h"

#include "app/engine.h"
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

std::string IncludesDir(const Engine& engine) {
  return GetProjectPath(engine) + "Includes/";
}

std::string BuildWebFilename(const Engine& engine, const std::string& name) {
  const std::string root = filewithoutext(name);
  const SettingValue fallback = engine.ProjectSettings.sGet("Extension", ".html");
  const std::string extension = engine.ProjectSettings.sGet("Ext_" + root, fallback).Text();
  return GetProjectPath(engine) + fileonly(root) + extension;
}

}  // namespace pagorin
