#include "app/file_type_registration.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/text.h"

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

constexpr const char* kEntry = "applications/pagorin.desktop";
constexpr const char* kMimePackage = "mime/packages/pagorin.xml";
constexpr const char* kMimeType = "application/x-pagorin-project";

char Unescaped(char code) {
  switch (code) {
    case 's':
      return ' ';
    case 'n':
      return '\n';
    case 't':
      return '\t';
    case 'r':
      return '\r';
    default:
      return code;
  }
}

// A value of a desktop entry's [Desktop Entry] group as the string rules
// give it: "\s", "\n", "\t", "\r" and "\\" stand for a blank, the three
// control characters and a backslash. Empty when the key is missing.
std::string EntryValue(const std::string& entry, std::string_view key) {
  bool in_group = false;
  for (std::string_view rest = entry; !rest.empty();) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = TrimView(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (line.starts_with('[')) {
      in_group = line == "[Desktop Entry]";
      continue;
    }
    const size_t equals = line.find('=');
    if (!in_group || equals == std::string_view::npos || TrimView(line.substr(0, equals)) != key) {
      continue;
    }
    std::string value;
    const std::string_view raw = TrimView(line.substr(equals + 1));
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '\\' || i + 1 == raw.size()) {
        value += raw[i];
        continue;
      }
      value += Unescaped(raw[++i]);
    }
    return value;
  }
  return {};
}

// The program an Exec value starts: its first argument, which may be in
// double quotes with '\\' escaping the next character.
std::string ExecProgram(const std::string& exec) {
  std::string program;
  if (!exec.starts_with('"')) {
    return exec.substr(0, exec.find(' '));
  }
  for (size_t i = 1; i < exec.size() && exec[i] != '"'; ++i) {
    if (exec[i] == '\\' && i + 1 < exec.size()) {
      ++i;
    }
    program += exec[i];
  }
  return program;
}

// The file a program name in an Exec value stands for: a path as it is, a
// bare name as the search path finds it. Empty when it is found nowhere.
std::string ProgramFile(Env& env, const std::string& program, const SystemFolders& system) {
  if (program.find('/') != std::string::npos) {
    return std::filesystem::path(program).lexically_normal().string();
  }
  for (const std::string& folder : system.path) {
    const std::string candidate = addbackslash(folder) + program;
    const FileInfo info = env.fs.Stat(candidate);
    if (!program.empty() && info.exists && !info.is_directory) {
      return std::filesystem::path(candidate).lexically_normal().string();
    }
  }
  return {};
}

// The system's file `name` that the desktop reads: the one in the first data
// folder that has it. Empty when none has.
std::string SystemFile(FileSubs& files, const SystemFolders& system, const std::string& name) {
  for (const std::string& folder : system.data_dirs) {
    if (files.FileExists(addbackslash(folder) + name)) {
      return addbackslash(folder) + name;
    }
  }
  return {};
}

bool SystemEntryStartsThisProgram(Env& env, FileSubs& files, const SystemFolders& system) {
  const std::string path = SystemFile(files, system, kEntry);
  if (path.empty()) {
    return false;
  }
  const std::string entry = files.LoadTextFile(path);
  const std::string types = ";" + EntryValue(entry, "MimeType") + ";";
  return types.find(std::string(";") + kMimeType + ";") != std::string::npos &&
         ProgramFile(env, ExecProgram(EntryValue(entry, "Exec")), system) ==
             env.paths.program_dir + env.paths.program_name;
}

bool SystemMimePackageIsOurs(FileSubs& files, const SystemFolders& system) {
  const std::string path = SystemFile(files, system, kMimePackage);
  return !path.empty() && files.LoadTextFile(path) == MimePackageText();
}

// Splits a colon-separated list of folders, keeping only absolute ones.
std::vector<std::string> Folders(const char* list) {
  std::vector<std::string> folders;
  std::string_view rest = list == nullptr ? "" : list;
  while (!rest.empty()) {
    const size_t colon = std::min(rest.find(':'), rest.size());
    if (rest.front() == '/') {
      folders.emplace_back(rest.substr(0, colon));
    }
    rest.remove_prefix(std::min(colon + 1, rest.size()));
  }
  return folders;
}

}  // namespace

SystemFolders CurrentSystemFolders() {
  SystemFolders system;
  system.data_dirs = Folders(std::getenv("XDG_DATA_DIRS"));
  if (system.data_dirs.empty()) {
    system.data_dirs = {"/usr/local/share/", "/usr/share/"};
  }
  system.path = Folders(std::getenv("PATH"));
  return system;
}

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
         "Icon=pagorin\n"
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

void RegisterFileType(Env& env, const std::string& data_home, const SystemFolders& system) {
  if (env.paths.program_name.empty()) {
    env.log.LogEvent("Product name is blank.  Cannot register extension");
    return;
  }
  if (data_home.empty()) {
    return;
  }
  FileSubs files(env);
  const std::string entry = addbackslash(data_home) + kEntry;
  if (files.FileExists(entry) || !SystemEntryStartsThisProgram(env, files, system)) {
    WriteWhereDifferent(files, entry,
                        DesktopEntryText(env.paths.program_dir + env.paths.program_name));
  }
  const std::string mime = addbackslash(data_home) + kMimePackage;
  if (files.FileExists(mime) || !SystemMimePackageIsOurs(files, system)) {
    WriteWhereDifferent(files, mime, MimePackageText());
  }
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
