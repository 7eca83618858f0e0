// The project settings dialog (frmSettings) as engine operations: what its
// fields show when it opens, and what OK stores.
#pragma once

#include <string>

namespace pagorin {

struct Engine;

// The dialog's fields, named as its controls.
struct ProjectSettingsFields {
  enum class Extension { kHtml, kHtm, kOther };  // optHTML, optHTM, optOther

  std::string txtProjectPath;
  std::string txtWebUrl;        // WEBSITEURL
  std::string txtURL;           // BaseURL, the FTP server
  std::string txtFTPLoginName;  // FTPLoginName
  std::string txtFTPPassword;   // FTPPassword, plain (the project keeps it scrambled)
  std::string txtRemoteFolder;  // FTPPath
  bool chkPassiveFTP = false;   // FTPPassive: passive instead of active FTP
  Extension extension = Extension::kHtml;
  std::string txtOtherExt = ".php";
  bool chkDoVersionFiles = false;   // DoVersionsFirst
  bool chkChangedOnly = false;      // ChangedOnly: builds keep pages that hold their text
  bool chkCheckAfterBuild = false;  // CheckAfterBuild: a build ends with a check of the site

  bool operator==(const ProjectSettingsFields&) const = default;
};

// The fields as the dialog opens. The folder box shows the project file's
// folder when there is a project file, else ProjectPath (default the
// program's folder). Extension ".htm" chooses HTM, ".html" or none HTML, any
// other value Other with that text.
ProjectSettingsFields LoadProjectSettingsFields(const Engine& engine);

// OK: stores the fields in the project (not yet on disk: the caller saves
// the project) and saves the program settings file.
//
// The folder is stored with a final separator, and only when it names
// another folder than the project's site folder now, so a project kept as
// "./" stays portable. When it does name another folder and the project
// holds settings made for the old one (per-template extensions, the version
// include list, news settings, ...), the person is asked whether to remove
// them; they stay unless the answer is Yes.
void SaveToProject(Engine& engine, const ProjectSettingsFields& fields);

}  // namespace pagorin
