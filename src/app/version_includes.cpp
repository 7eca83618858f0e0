#include "app/version_includes.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/compile_error.h"
#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/checksum.h"
#include "shared/file_subs.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/progress.h"
#include "shared/text.h"

namespace pagorin {

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) {
      return parts;
    }
    start = end + 1;
  }
}

constexpr const char* kFixAndRerun = " Please fix and re-run.";

// Tells the person what is wrong with which file, then ends the run.
[[noreturn]] void StopVersions(Engine& engine, const std::string& message, int number,
                               const std::string& description) {
  engine.env.log.LogEvent(message);
  engine.env.ui.ShowMessage(message + kFixAndRerun, Buttons::kOk);
  throw CompileError(number, description);
}

// "Line 3 of /site/IniFiles.txt"
std::string ListLine(const Engine& engine, size_t line) {
  return "Line " + std::to_string(line + 1) + " of " + VersionListFile(engine);
}

// "True", "False" (any letter case, or the locale's words) or a number,
// where 0 is false; anything else ends the run.
bool ReadFlag(Engine& engine, const std::string& field, size_t line) {
  LocaleFacts& locale = engine.env.locale;
  if (EqualsNoCase(field, "True") || EqualsNoCase(field, locale.TrueWord())) {
    return true;
  }
  if (EqualsNoCase(field, "False") || EqualsNoCase(field, locale.FalseWord())) {
    return false;
  }
  if (!field.empty()) {
    errno = 0;
    char* end = nullptr;
    const double number = std::strtod(field.c_str(), &end);
    if (errno == 0 && end == field.c_str() + field.size()) {
      return number != 0;
    }
  }
  StopVersions(
      engine,
      ListLine(engine, line) + " ends in \"" + field + "\", which is not True, False or a number.",
      kErrTypeMismatch, "Type mismatch");
}

// Release files are named by a full path; a relative one is taken from the
// site folder, so that a site carries its release files along with it.
std::string SourcePath(const Engine& engine, const std::string& field) {
  return IsFullPath(field) ? field : GetProjectPath(engine) + field;
}

// The include text for one release file; `source` is its whole text.
std::string FillVersionTemplate(Engine& engine, std::string text, const std::string& source,
                                const std::string& source_path, TimePoint source_date) {
  std::string version = source;
  std::string address;
  const size_t cr = source.find('\r');
  if (cr != std::string::npos) {
    version = source.substr(0, cr);
    const size_t line_end = source.find("\r\n");
    address = line_end == std::string::npos ? source.substr(1) : source.substr(line_end + 2);
    // A checksum line belongs to the release, not to its address.
    address = WithoutChecksumLines("\n" + address);
    replacewith_nc(address, "\r", "");
    replacewith_nc(address, "\n", "");
    replacewith_nc(address, "@@@", ReplaceAll(version, ".", "", true));
  }
  const std::vector<std::string> parts = Split(version, '.');
  if (parts.size() < 2) {
    StopVersions(engine,
                 "The release file " + source_path + " gives the version \"" + Trim(version) +
                     "\", which has no dot; a version reads major.minor or "
                     "major.minor.revision, such as 2.3.1.",
                 kErrSubscript, "Subscript out of range");
  }
  LocaleFacts& locale = engine.env.locale;
  const LocalDateTime date = ToLocal(source_date);
  replacewith_nc(text, "$DATE", FormatDate(date, "MMM DD, YYYY", locale));
  replacewith_nc(text, "$FILE", Trim(version));
  replacewith_nc(text, "$DAY", FormatDate(date, "DD", locale));
  replacewith_nc(text, "$MONTH", FormatDate(date, "MM", locale));
  replacewith_nc(text, "$YEAR", FormatDate(date, "YYYY", locale));
  replacewith_nc(text, "$APPMAJOR", parts[0]);
  replacewith_nc(text, "$APPMINOR", parts[1]);
  replacewith_nc(text, "$APPREVISION", parts.size() > 2 ? parts[2] : "0");
  if (!address.empty()) {
    replacewith_nc(text, "$URL", Trim(address));
  }
  const std::string details_path = ReplaceAll(source_path, "current.txt", "details.txt", false);
  replacewith_nc(text, "$DETAILS", Trim(FileSubs(engine.env).LoadTextFile(details_path)));
  return text;
}

// One line of the list file; `line` is its 0-based number, `last` that of
// the list's last line.
void WriteVersionInclude(Engine& engine, const std::vector<std::string>& fields, size_t line,
                         size_t last) {
  Env& env = engine.env;
  FileSubs files(env);
  if (fields.size() < 4) {
    StopVersions(engine,
                 ListLine(engine, line) + " has " + std::to_string(fields.size()) +
                     " fields; a line needs four, separated by commas: the include, the "
                     "template, the release file, and True or False.",
                 kErrSubscript, "Subscript out of range");
  }
  if (LeavesFolder(Trim(fields[0]))) {
    StopVersions(engine,
                 ListLine(engine, line) + " names the include \"" + Trim(fields[0]) +
                     "\", which leads out of the Includes folder.",
                 kErrFileAccess, "Path/File access error");
  }
  const std::string include_path = IncludesDir(engine) + Trim(fields[0]);
  const std::string template_path = GetProjectPath(engine) + Trim(fields[1]);
  const std::string source_path = SourcePath(engine, Trim(fields[2]));
  const bool line_breaks_as_tags = ReadFlag(engine, Trim(fields[3]), line);

  const std::string version_template = files.LoadTextFile(template_path);
  if (version_template.find('$') == std::string::npos) {
    return;
  }
  if (!files.FileExists(source_path)) {
    env.progress.showprogressstring(StatusStrip::kMain, static_cast<double>(line),
                                    static_cast<double>(last), "File missing");
    return;
  }
  const TimePoint source_date = files.FileDate(source_path);
  if (source_date <= files.FileDate(include_path)) {
    return;
  }
  const std::string source = files.LoadTextFile(source_path);
  if (Trim(source).empty()) {
    return;
  }
  std::string result =
      FillVersionTemplate(engine, version_template, source, source_path, source_date);
  if (line_breaks_as_tags) {
    replacewith_nc(result, "\r\n", "<BR>");
  }
  files.MkMissingDir(PathOnly(include_path));
  if (!files.WriteTextFile(include_path, result, BuiltFilesSameText(engine))) {
    StopVersions(engine, "The version include " + include_path + " cannot be written.",
                 kErrFileAccess, "Path/File access error");
  }
  env.progress.showprogressstring(StatusStrip::kMain, static_cast<double>(line),
                                  static_cast<double>(last), "Wrote " + fileonly(include_path));
}

}  // namespace

std::string VersionListFile(const Engine& engine) {
  return engine.ProjectSettings.sGet("IniListFilename", GetProjectPath(engine) + "IniFiles.txt")
      .Text();
}

bool WriteVersionIncludes(Engine& engine) {
  std::string list = FileSubs(engine.env).LoadTextFile(VersionListFile(engine));
  replacewith_nc(list, "\r", "");
  const std::vector<std::string> lines = Split(list, '\n');
  try {
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::vector<std::string> fields = Split(lines[i], ',');
      if (fields.size() >= 2) {
        WriteVersionInclude(engine, fields, i, lines.size() - 1);
      }
    }
  } catch (const CompileError& error) {
    engine.env.log.LogError(error.LogText(), "WriteVersionIncludes", "frmMain");
    return false;
  }
  return true;
}

VersionIncludeDialogTexts LoadVersionIncludeDialog(const Engine& engine) {
  FileSubs files(engine.env);
  VersionIncludeDialogTexts texts;
  texts.txtIniFile = VersionListFile(engine);
  texts.txtTemplate = files.LoadTextFile(GetProjectPath(engine) + "Template.txt");
  texts.txtSources = files.LoadTextFile(texts.txtIniFile);
  return texts;
}

void RefreshVersionIncludeSources(const Engine& engine, VersionIncludeDialogTexts& texts) {
  texts.txtSources = FileSubs(engine.env).LoadTextFile(texts.txtIniFile);
}

void StoreVersionIncludeDialog(Engine& engine, const VersionIncludeDialogTexts& texts) {
  FileSubs files(engine.env);
  engine.ProjectSettings.sSet("IniListFilename", texts.txtIniFile);
  files.WriteTextFile(GetProjectPath(engine) + "Template.txt", texts.txtTemplate);
  files.WriteTextFile(texts.txtIniFile, texts.txtSources);
}

}  // namespace pagorin
