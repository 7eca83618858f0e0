#include "app/file_type_registration.h"

#include <cstdlib>

#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"

namespace pagorin {

namespace {

// An argument of a desktop entry's Exec key in double quotes: inside them
// '"', '`', '$' and '\' take a backslash, and the entry's own string rules
// double every backslash again; a literal "%" is written "%%".
std::string QuotedExecArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
      continue;
    } else if (c == '%') {
      quoted += '%';
    }
    quoted += c;
  }
  return quoted + "\"";
}

void WriteWhereDifferent(FileSubs& files, const std::string& path, const std::string& text) {
  if (files.FileExists(path) && files.LoadTextFile(path) == text) {
    return;
  }
  files.MkMissingDir(PathOnly(path));
  files.WriteTextFile(path, text);
}

}  // namespace

std::string DesktopEntryText(const std::string& executable) {
  // The launcher hands the chosen file over as one argument, whatever blanks
  // its path holds, so "%f" itself stays unquoted, as desktop entries ask.
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Pagorin\n"
         "GenericName=Website Generator\n"
         "Comment=Build a web site from templates and includes\n"
         "Exec=" +
         QuotedExecArgument(executable) +
         " %f\n"
         "MimeType=application/x-pagorin-project;\n"
         "Terminal=false\n"
         "Categories=Development;WebDevelopment;\n";
}

std::string MimePackageText() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"application/x-pagorin-project\">\n"
         "    <comment>Pagorin project</comment>\n"
         "    <glob pattern=\"*.pgx\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

void RegisterFileType(Env& env, const std::string& data_home) {
  if (env.paths.program_name.empty()) {
    env.log.LogEvent("Product name is blank.  Cannot register extension");
    return;
  }
  if (data_home.empty()) {
    return;
  }
  FileSubs files(env);
  const std::string home = addbackslash(data_home);
  WriteWhereDifferent(files, home + "applications/pagorin.desktop",
                      DesktopEntryText(env.paths.program_dir + env.paths.program_name));
  WriteWhereDifferent(files, home + "mime/packages/pagorin.xml", MimePackageText());
}

std::string XdgDataHome() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home != nullptr && data_home[0] == '/') {
    return data_home;
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    return addbackslash(home) + ".local/share";
  }
  return {};
}

}  // namespace pagorin
