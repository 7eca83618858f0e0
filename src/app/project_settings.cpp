#include "app/project_settings.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "app/engine.h"
#include "shared/paths.h"
#include "shared/scramble.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

// The keys that describe the project itself rather than the files of its
// site folder: they stay whatever folder the project points to.
constexpr std::string_view kProjectKeys[] = {
    "PROJECTTITLE", "PROJECTPATH", "EXTENSION", "DOVERSIONSFIRST", "WEBSITEURL", "BASEURL",
    "FTPLOGINNAME", "FTPPASSWORD", "FTPPATH",   "CHARSET",         "FTPPASSIVE", "FTPTIMEOUT"};

bool IsFolderKey(std::string_view name) {
  for (std::string_view key : kProjectKeys) {
    if (EqualsNoCase(name, key)) {
      return false;
    }
  }
  return true;
}

// The folder a ProjectPath value names for this project, absolute and
// normalised, so that "./", the project file's folder and the same folder
// written another way compare equal.
std::filesystem::path SiteFolderNamed(const Engine& engine, const std::string& value) {
  std::string folder = value;
  if (folder == "./" || folder == ".\\") {
    folder = PathOnly(engine.ProjectFile);
  }
  folder = ToForwardSlashes(addbackslash(folder));
  if (folder.empty()) {
    folder = "./";
  }
  std::error_code ignored;
  return std::filesystem::absolute(folder, ignored).lexically_normal();
}

std::vector<std::string> FolderKeys(const Engine& engine) {
  std::vector<std::string> names;
  for (const cSHAREDSetting& entry : engine.ProjectSettings.entries()) {
    if (IsFolderKey(entry.KeyName)) {
      names.push_back(entry.KeyName);
    }
  }
  return names;
}

// Asks whether the settings made for the old site folder should go; removes
// them only on Yes.
void OfferToRemoveFolderKeys(Engine& engine, const std::string& new_folder) {
  const std::vector<std::string> names = FolderKeys(engine);
  if (names.empty()) {
    return;
  }
  const Answer answer = engine.env.ui.ShowMessage(
      "The site folder becomes " + new_folder +
          ".\r\n\r\nThis project holds settings made for the templates and files of its "
          "previous folder: per-template extensions, the version include list and the news "
          "settings.\r\n\r\nDo you want to remove them? Choose No to keep them.",
      Buttons::kYesNo, "Project Settings", Icon::kQuestion);
  if (answer != Answer::kYes) {
    return;
  }
  for (const std::string& name : names) {
    engine.ProjectSettings.DeleteSettingByName(name);
  }
}

std::string ExtensionValue(const ProjectSettingsFields& fields) {
  switch (fields.extension) {
    case ProjectSettingsFields::Extension::kHtm:
      return ".htm";
    case ProjectSettingsFields::Extension::kHtml:
      return ".html";
    case ProjectSettingsFields::Extension::kOther:
      break;
  }
  return Trim(LCase(fields.txtOtherExt));
}

}  // namespace

ProjectSettingsFields LoadProjectSettingsFields(const Engine& engine) {
  const cSHAREDSettings& project = engine.ProjectSettings;
  ProjectSettingsFields fields;
  fields.txtProjectPath = engine.ProjectFile.empty()
                              ? project.sGet("ProjectPath", engine.env.paths.program_dir).Text()
                              : PathOnly(engine.ProjectFile);
  fields.txtWebUrl = project.sGet("WEBSITEURL").Text();
  fields.txtURL = project.sGet("BaseURL").Text();
  fields.txtFTPLoginName = project.sGet("FTPLoginName").Text();
  fields.txtFTPPassword = decrypt(project.sGet("FTPPassword").Text());
  fields.txtRemoteFolder = project.sGet("FTPPath").Text();
  fields.chkPassiveFTP = project.sGet("FTPPassive", false).AsBool();
  const std::string extension = project.sGet("Extension", ".html").Text();
  if (extension == ".htm") {
    fields.extension = ProjectSettingsFields::Extension::kHtm;
  } else if (extension != ".html") {
    fields.extension = ProjectSettingsFields::Extension::kOther;
    fields.txtOtherExt = extension;
  }
  fields.chkDoVersionFiles = project.sGet("DoVersionsFirst", 0).AsNumber() != 0;
  fields.chkChangedOnly = project.sGet("ChangedOnly", 0).AsNumber() != 0;
  fields.chkCheckAfterBuild = project.sGet("CheckAfterBuild", false).AsBool();
  return fields;
}

void SaveToProject(Engine& engine, const ProjectSettingsFields& fields) {
  cSHAREDSettings& project = engine.ProjectSettings;
  const std::string folder = addbackslash(Trim(fields.txtProjectPath));
  const std::string stored = project.sGet("ProjectPath").Text();
  if (folder != stored) {
    // An empty ProjectPath means whatever folder the program runs in, so a
    // folder typed for it is always stored, even the current one.
    const bool same_folder = SiteFolderNamed(engine, folder) == SiteFolderNamed(engine, stored);
    if (!same_folder) {
      OfferToRemoveFolderKeys(engine, folder);
    }
    if (!same_folder || stored.empty()) {
      project.sSet("ProjectPath", folder);
    }
  }
  project.sSet("DoVersionsFirst", fields.chkDoVersionFiles ? 1 : 0);
  project.sSet("Extension", ExtensionValue(fields));
  project.sSet("FTPLoginName", fields.txtFTPLoginName);
  project.sSet("FTPPassword", Encrypt(fields.txtFTPPassword));
  project.sSet("FTPPath", fields.txtRemoteFolder);
  // Active mode is the default, so a project that never chose keeps no key.
  if (fields.chkPassiveFTP || project.SettingPresent("FTPPASSIVE") > 0) {
    project.sSet("FTPPassive", fields.chkPassiveFTP);
  }
  // Full builds are the default, kept as no key.
  if (fields.chkChangedOnly || project.SettingPresent("CHANGEDONLY") > 0) {
    project.sSet("ChangedOnly", fields.chkChangedOnly ? 1 : 0);
  }
  // So are builds that end without a check.
  if (fields.chkCheckAfterBuild || project.SettingPresent("CHECKAFTERBUILD") > 0) {
    project.sSet("CheckAfterBuild", fields.chkCheckAfterBuild);
  }
  project.sSet("WEBSITEURL", addslash(fields.txtWebUrl));
  project.sSet("BaseURL", fields.txtURL);
  if (!engine.AppSettingsFile.empty()) {
    SaveAppSettings(engine.AppSettings, engine.AppSettingsFile);
  }
}

}  // namespace pagorin
