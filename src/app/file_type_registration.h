// Registering the project file type with the desktop, so that opening a
// .pgx file starts Pagorin on it.
#pragma once

#include <string>

#include "shared/env.h"

namespace pagorin {

// The two files the registration writes under `data_home`.
std::string DesktopEntryText(const std::string& executable);
std::string MimePackageText();

// Writes, where they differ from what is there, the desktop entry
// applications/pagorin.desktop and the MIME package
// mime/packages/pagorin.xml (application/x-pagorin-project for *.pgx) under
// `data_home` ($XDG_DATA_HOME, by default ~/.local/share). Results are not
// checked: a desktop that cannot be told simply does not know the type. An
// empty program name writes nothing and logs "Product name is blank.  Cannot
// register extension".
void RegisterFileType(Env& env, const std::string& data_home);

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; empty
// when neither is known.
std::string XdgDataHome();

}  // namespace pagorin
