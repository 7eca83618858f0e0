#include "tools/tools_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/engine.h"
#include "app/program_services.h"
#include "app/project.h"
#include "app/template_commands.h"
#include "shared/file_subs.h"
#include "shared/headless_ui.h"
#include "shared/text.h"
#include "tools/copy_renumber.h"
#include "tools/keyword_tools.h"
#include "tools/link_titles.h"
#include "tools/replace_undo.h"
#include "tools/search_replace.h"
#include "tools/site_check.h"

namespace pagorin {

namespace {

constexpr int kUsageError = 2;

// The headless seam, with questions answered Yes when the line said --yes.
class AnsweringUi final : public UserInterface {
 public:
  AnsweringUi(UserInterface& inner, bool yes) : inner_(inner), yes_(yes) {}

  Answer ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                     Icon icon) override {
    const Answer answer = inner_.ShowMessage(text, buttons, title, icon);
    const bool question = buttons == Buttons::kYesNo || buttons == Buttons::kYesNoCancel;
    return yes_ && question ? Answer::kYes : answer;
  }
  void ShowErrorReport(const std::string& error_text, const std::string& help_topic) override {
    inner_.ShowErrorReport(error_text, help_topic);
  }
  std::optional<std::string> ChooseFile(const FileRequest& request) override {
    return inner_.ChooseFile(request);
  }
  void DrawStatus(StatusStrip strip, const StatusFrame& frame) override {
    inner_.DrawStatus(strip, frame);
  }
  void SetPointer(Pointer pointer) override { inner_.SetPointer(pointer); }
  void SetControlsEnabled(bool enabled) override { inner_.SetControlsEnabled(enabled); }
  void ProcessEvents() override { inner_.ProcessEvents(); }
  bool InputPending() override { return inner_.InputPending(); }
  bool OpenDocument(const std::string& path_or_url) override {
    return inner_.OpenDocument(path_or_url);
  }

 private:
  UserInterface& inner_;
  bool yes_;
};

std::string Absolute(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.lexically_normal().string();
}

// Selects the template named by its file name or by its name without
// extension (letter case ignored); false, with a message, when the list has
// none of that name.
bool SelectTemplate(Engine& engine, const std::string& name) {
  const std::vector<TemplateEntry>& entries = engine.ListView1.entries();
  auto found = std::find_if(entries.begin(), entries.end(), [&](const TemplateEntry& entry) {
    return EqualsNoCase(entry.tag, name) || EqualsNoCase(entry.text, name);
  });
  if (found == entries.end()) {
    engine.env.ui.ShowMessage("The project has no template called " + name + ".");
    return false;
  }
  engine.ListView1.SelectOnly(static_cast<int>(found - entries.begin()));
  return true;
}

int Keywords(Engine& engine, const ToolLine& line) {
  if (!SelectTemplate(engine, line.positional[1])) {
    return 1;
  }
  cmdSuggest(engine);
  const std::string suggestion = engine.texts.txtSuggested;
  std::printf("%s\n", suggestion.c_str());
  if (!line.Has("--set")) {
    return 0;
  }
  return cmdSetKwd_Click(engine, line.Has("--rename")) ? 0 : 1;
}

int Meta(Engine& engine, const ToolLine& line) {
  if (!SelectTemplate(engine, line.positional[1])) {
    return 1;
  }
  ShowDesc(engine);
  std::printf("Extension: %s\nDescription: %s\nKeywords: %s\n", engine.texts.txtExt.c_str(),
              engine.texts.txtDesc.c_str(), engine.texts.txtKeywords.c_str());
  return 0;
}

int TidyMeta(Engine& engine, const ToolLine&) {
  return mnuTidyMeta(engine) ? 0 : 1;
}

int Replace(Engine& engine, const ToolLine& line) {
  if (line.Has("--undo")) {
    return UndoLastReplace(engine) ? 0 : 1;
  }
  ReplaceRequest request;
  request.search = line.values.at("--search");
  request.replacement = line.values.at("--with");
  const auto folder = line.values.find("--folder");
  // Kept runs name their files with full paths, so that Undo works from
  // any folder.
  request.folder =
      folder != line.values.end() ? Absolute(folder->second) : SearchSourcePath(engine);
  request.wildcard = line.Has("--wildcard");
  request.dry_run = line.Has("--dry-run");
  std::string last_status;
  const ReplaceRun run =
      cmdGo(engine, request, [&](const std::string& status) { last_status = status; });
  if (request.dry_run && !run.refused) {
    std::printf("%s\n", PreviewText(run).c_str());
  } else if (!run.refused) {
    engine.env.ui.ShowMessage(last_status);
  }
  return run.refused || !run.left_alone.empty() ? 1 : 0;
}

int LinkTitles(Engine& engine, const ToolLine&) {
  const LinkTitlesRun run = mnuAddTitlesToLinks(engine);
  engine.env.ui.ShowMessage("Added titles to links in " + std::to_string(run.rewritten) +
                            (run.rewritten == 1 ? " file" : " files") +
                            (run.failed == 0 ? ""
                                             : "; " + std::to_string(run.failed) +
                                                   (run.failed == 1 ? " file" : " files") +
                                                   " could not be written"));
  return run.failed == 0 ? 0 : 1;
}

int CopyRenumber(Engine& engine, const ToolLine&) {
  return cmdCopyRenum(engine) == CopyRenumOutcome::kCopied ? 0 : 1;
}

int Check(Engine& engine, const ToolLine& line) {
  const CheckReport report = CheckSite(engine);
  const std::string text = line.Has("--json") ? CheckReportJson(report) : CheckReportText(report);
  std::fputs(text.c_str(), stdout);
  return report.broken() ? 1 : 0;
}

constexpr const char* kExitStatus =
    "\n"
    "Exit status: 0 on success, 1 when the tool refused or failed, 2 for a command\n"
    "line that cannot be used.\n";

int RunNamed(const char* name, const std::vector<std::string>& args);

}  // namespace

bool ToolLine::Has(const std::string& flag) const {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

const std::vector<ToolCommand>& ToolCommands() {
  static const std::vector<ToolCommand> commands = {
      {"keywords",
       "Usage: pagorin keywords PROJECT.pgx TEMPLATE [--set] [--rename]\n"
       "\n"
       "Prints the keywords suggested for TEMPLATE (a template's file name, with or\n"
       "without its extension) from the words of its content_ include.\n"
       "\n"
       "Options:\n"
       "  --set      also write them into the keywords META tag of the template's\n"
       "             header_ include, then build the template\n"
       "  --rename   with --set: write a header include named after the template\n"
       "             (header_NAME.inc) and make the template use it\n"
       "  -h, --help show this help\n",
       {"PROJECT", "TEMPLATE"},
       {},
       {"--set", "--rename"},
       Keywords},
      {"meta",
       "Usage: pagorin meta PROJECT.pgx TEMPLATE\n"
       "\n"
       "Prints the output extension of TEMPLATE and the description and keywords\n"
       "META tags of its generated page.\n",
       {"PROJECT", "TEMPLATE"},
       {},
       {},
       Meta},
      {"tidy-meta",
       "Usage: pagorin tidy-meta PROJECT.pgx --yes\n"
       "\n"
       "Removes the blanks after the commas of the keywords META tag in every file of\n"
       "the project's Templates and Includes folders (\"ebook, book\" becomes\n"
       "\"ebook,book\").\n"
       "\n"
       "Options:\n"
       "  --yes      answer the question Yes; without it nothing is changed\n",
       {"PROJECT"},
       {},
       {"--yes"},
       TidyMeta},
      {"replace",
       "Usage: pagorin replace PROJECT.pgx --search OLD --with NEW [--wildcard]\n"
       "                       [--folder DIR] [--dry-run]\n"
       "       pagorin replace PROJECT.pgx --undo\n"
       "\n"
       "Replaces OLD by NEW, letter case ignored, in every file of a folder: by\n"
       "default the one last searched in the window, else the project's Includes.\n"
       "The old bytes of every file changed are kept in \"Replace undo\" beside the\n"
       "project file.\n"
       "\n"
       "Options:\n"
       "  --wildcard  one \"*\" in OLD matches any run of characters, and a \"*\" in\n"
       "              NEW puts that run back: --search '<b>*</b>' --with\n"
       "              '<strong>*</strong>'\n"
       "  --folder DIR  the folder to work on\n"
       "  --dry-run   list the files that would change and their matches; write\n"
       "              nothing\n"
       "  --undo      restore the files of the last run, except those changed since\n",
       {"PROJECT"},
       {"--search", "--with", "--folder"},
       {"--wildcard", "--dry-run", "--undo"},
       Replace},
      {"link-titles",
       "Usage: pagorin link-titles PROJECT.pgx\n"
       "\n"
       "Gives every text link of the project's templates and includes that has no\n"
       "title a title attribute made from the link's own text.\n",
       {"PROJECT"},
       {},
       {},
       LinkTitles},
      {"copy-renumber",
       "Usage: pagorin copy-renumber PROJECT.pgx --yes\n"
       "\n"
       "Copies @@@.template of the site folder to 1.template ... 40.template, and\n"
       "content_@@@.inc to content_1.inc ... content_40.inc, with every \"@@@\" in\n"
       "them replaced by the copy's number. Existing copies are replaced.\n"
       "\n"
       "Options:\n"
       "  --yes      answer the question Yes; without it nothing is written\n",
       {"PROJECT"},
       {},
       {"--yes"},
       CopyRenumber},
      {"check",
       "Usage: pagorin check PROJECT.pgx [--json]\n"
       "\n"
       "Reads every page the project's templates build and reports, with page and\n"
       "line: links, images, scripts and style sheets naming files that are not in\n"
       "the site folder; pages without a title; META descriptions two pages share;\n"
       "links without </a>; and \"[include=\", \"[var\" or a [Name] the build left in\n"
       "the text. Addresses with a scheme (http:, mailto:, ...) are not followed.\n"
       "Finding something broken counts as failed.\n"
       "\n"
       "Options:\n"
       "  --json     print the report as one JSON object: {\"pages\":N,\"problems\":N,\n"
       "             \"findings\":[{\"kind\",\"file\",\"line\",\"text\"}, ...]}\n",
       {"PROJECT"},
       {},
       {"--json"},
       Check},
  };
  return commands;
}

ToolLine ParseToolLine(const ToolCommand& command, const std::vector<std::string>& args) {
  ToolLine line;
  bool options_ended = false;
  const auto listed = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    const std::string& argument = args[i];
    const std::string name = argument.substr(0, argument.find('='));
    if (options_ended || argument == "-" || !argument.starts_with("-")) {
      line.positional.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (listed(command.flag_options, argument)) {
      line.flags.push_back(argument);
    } else if (listed(command.value_options, name)) {
      if (name.size() < argument.size()) {
        line.values[name] = argument.substr(name.size() + 1);
      } else if (i + 1 < args.size()) {
        line.values[name] = args[++i];
      } else {
        line.error = argument + " needs a value";
      }
    } else {
      line.error = "unknown option " + argument;
    }
  }
  if (line.help || !line.error.empty()) {
    return line;
  }
  const std::vector<std::string>& wanted = command.positional_names;
  if (line.positional.size() < wanted.size()) {
    line.error = "name the " + LCase(wanted[line.positional.size()]) +
                 (wanted[line.positional.size()] == "PROJECT" ? " file" : "");
  } else if (line.positional.size() > wanted.size()) {
    line.error = "unexpected argument " + line.positional[wanted.size()];
  } else if (line.Has("--rename") && !line.Has("--set")) {
    line.error = "--rename goes with --set";
  } else if (line.Has("--undo") && (line.values.size() + line.flags.size() > 1)) {
    line.error = "--undo takes no other option";
  } else if (std::string(command.name) == "replace" && !line.Has("--undo")) {
    if (!line.values.contains("--search")) {
      line.error = "--search is missing";
    } else if (!line.values.contains("--with")) {
      line.error = "--with is missing";
    }
  }
  return line;
}

int RunTool(Engine& engine, const ToolCommand& command, const ToolLine& line) {
  const std::string& project = line.positional[0];
  if (!FileSubs(engine.env).FileExists(project)) {
    engine.env.ui.ShowMessage(project + " does not exist.");
    return 1;
  }
  engine.ProjectFile = Absolute(project);
  if (!LoadProjectFile(engine, engine.ProjectFile)) {
    return 1;
  }
  FillList(engine);
  return command.run(engine, line);
}

namespace {

int RunNamed(const char* name, const std::vector<std::string>& args) {
  const std::vector<ToolCommand>& commands = ToolCommands();
  const ToolCommand& command =
      *std::find_if(commands.begin(), commands.end(),
                    [name](const ToolCommand& c) { return std::string_view(c.name) == name; });
  const ToolLine line = ParseToolLine(command, args);
  const std::string usage = std::string(command.usage) + kExitStatus;
  if (line.help) {
    std::fputs(usage.c_str(), stdout);
    return 0;
  }
  if (!line.error.empty()) {
    std::fprintf(stderr, "pagorin: %s\n%s", line.error.c_str(), usage.c_str());
    return kUsageError;
  }
  HeadlessUi headless;
  AnsweringUi ui(headless, line.Has("--yes"));
  bool valid = true;
  const std::optional<TimePoint> fixed_now =
      ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), &valid);
  ProgramServices services(ui, fixed_now);
  Engine engine(services.env());
  return RunTool(engine, command, line);
}

}  // namespace

int RunKeywordsCommand(const std::vector<std::string>& args) {
  return RunNamed("keywords", args);
}
int RunMetaCommand(const std::vector<std::string>& args) {
  return RunNamed("meta", args);
}
int RunTidyMetaCommand(const std::vector<std::string>& args) {
  return RunNamed("tidy-meta", args);
}
int RunReplaceCommand(const std::vector<std::string>& args) {
  return RunNamed("replace", args);
}
int RunLinkTitlesCommand(const std::vector<std::string>& args) {
  return RunNamed("link-titles", args);
}
int RunCopyRenumberCommand(const std::vector<std::string>& args) {
  return RunNamed("copy-renumber", args);
}
int RunCheckCommand(const std::vector<std::string>& args) {
  return RunNamed("check", args);
}

}  // namespace pagorin
