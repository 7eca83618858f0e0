// Registering the project file type with the desktop, so that opening a
// .pgx file starts Pagorin on it.
#pragma once

#include <string>
#include <vector>

#include "shared/env.h"

namespace pagorin {

// The two files the registration writes under `data_home`.
std::string DesktopEntryText(const std::string& executable);
std::string MimePackageText();

// Where the desktop looks for what the system itself has installed.
struct SystemFolders {
  std::vector<std::string> data_dirs;  // $XDG_DATA_DIRS, in order
  std::vector<std::string> path;       // $PATH, where a bare program name is looked for
};
// From the environment; $XDG_DATA_DIRS defaults to /usr/local/share:/usr/share.
SystemFolders CurrentSystemFolders();

// Writes, where they differ from what is there, the desktop entry
// applications/pagorin.desktop and the MIME package
// mime/packages/pagorin.xml (application/x-pagorin-project for *.pgx) under
// `data_home` ($XDG_DATA_HOME, by default ~/.local/share). A file the
// person does not have yet is not written when the system's own one already
// does its work: an entry that starts this very program for the type, a MIME
// package with the same text. Results are not checked: a desktop that cannot
// be told simply does not know the type. An empty program name writes nothing
// and logs "Product name is blank.  Cannot register extension".
void RegisterFileType(Env& env, const std::string& data_home, const SystemFolders& system);

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; empty
// when neither is known.
std::string XdgDataHome();

}  // namespace pagorin
