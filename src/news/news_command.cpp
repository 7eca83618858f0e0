#include "news/news_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "app/engine.h"
#include "app/program_services.h"
#include "app/project.h"
#include "news/content_creator.h"
#include "news/news_dates.h"
#include "shared/headless_ui.h"
#include "shared/html.h"
#include "shared/log.h"

namespace pagorin {

namespace {

constexpr int kUsageError = 2;
constexpr const char* kDateForms =
    "Write it as \"3:07pm, December 4 2024\", \"December 4 2024\", \"December 4, 2024\", "
    "\"4 December 2024\" or \"2024-12-04\".";

// A story given as text: shown as written, each line break (CR LF, LF or CR)
// as "<br>" followed by the break itself.
std::string StoryAsHtml(const std::string& story) {
  std::string html;
  const std::string text = TextAsHtml(story);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if (text[i] == '\r' || text[i] == '\n') {
      html += "<br>";
      html += text[i];
      if (pair) {
        html += text[++i];
      }
    } else {
      html += text[i];
    }
  }
  return html;
}

}  // namespace

NewsAddLine ParseNewsAddLine(const std::vector<std::string>& args) {
  NewsAddLine line;
  std::string date;
  bool title_given = false, story_given = false, tags_given = false, date_given = false;
  const struct {
    std::string_view name;
    std::string* value;
    bool* given;
  } options[] = {{"--title", &line.title, &title_given},
                 {"--story", &line.story, &story_given},
                 {"--tags", &line.tags, &tags_given},
                 {"--date", &date, &date_given}};
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    const std::string& argument = args[i];
    if (options_ended || argument == "-" || !argument.starts_with("-")) {
      if (!line.project.empty()) {
        line.error = "one project file only (" + line.project + " and " + argument + ")";
      }
      line.project = argument;
    } else if (argument == "--") {
      options_ended = true;
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--plain") {
      line.plain = true;
    } else {
      const auto* option = std::find_if(std::begin(options), std::end(options), [&](auto& o) {
        return argument == o.name || argument.starts_with(std::string(o.name) + "=");
      });
      if (option == std::end(options)) {
        line.error = "unknown option " + argument;
        continue;
      }
      if (argument.size() > option->name.size()) {
        *option->value = argument.substr(option->name.size() + 1);
      } else if (i + 1 < args.size()) {
        *option->value = args[++i];
      } else {
        line.error = argument + " needs a value";
      }
      *option->given = true;
    }
  }
  if (date_given) {
    line.date = date;
  }
  if (line.help || !line.error.empty()) {
    return line;
  }
  if (line.project.empty()) {
    line.error = "name the project file";
  } else if (!title_given) {
    line.error = "--title is missing";
  } else if (!story_given) {
    line.error = "--story is missing";
  }
  return line;
}

std::string NewsUsageText() {
  return "Usage: pagorin news add PROJECT.pgx --title TITLE --story STORY [--tags A,B] "
         "[--date DATE] [--plain]\n"
         "\n"
         "Commands:\n"
         "  add    write one news item into the project, as the Content Creator does\n"
         "\n"
         "Run \"pagorin news add --help\" for the details.\n";
}

std::string NewsAddUsageText() {
  return "Usage: pagorin news add PROJECT.pgx --title TITLE --story STORY [--tags A,B] "
         "[--date DATE] [--plain]\n"
         "\n"
         "Writes one news item into the project's site exactly as the Content Creator's\n"
         "Generate button does: the page template (NewsPrefix + number + \".template\") and\n"
         "its two includes, copied from the project's news source template and\n"
         "content_news0000.inc and header_news0000.inc, with the first free number. The\n"
         "project file is saved. The next build (pagorin /AUTO PROJECT.pgx) shows the\n"
         "item in the news lists.\n"
         "\n"
         "Options:\n"
         "  --title TITLE  the item's title (double quotes become single quotes)\n"
         "  --story STORY  the item's text; HTML markup is allowed\n"
         "  --tags A,B     comma-separated tags\n"
         "  --date DATE    the date shown for the item: \"3:07pm, December 4 2024\",\n"
         "                 \"December 4 2024\", \"December 4, 2024\", \"4 December 2024\" or\n"
         "                 \"2024-12-04\"; by default the current time in the first form\n"
         "                 (the time SOURCE_DATE_EPOCH names, when it is set)\n"
         "  --plain        take the title, story and tags as plain text: HTML special\n"
         "                 characters and the site's markup are shown as written, and\n"
         "                 line breaks of the story become <br>; for text from other\n"
         "                 programs\n"
         "  -h, --help     show this help\n"
         "\n"
         "Exit status: 0 when the item was written, 1 when it was not, 2 for a command\n"
         "line that cannot be used (a date it cannot read among them).\n";
}

int NewsAdd(Engine& engine, const NewsAddLine& line) {
  Env& env = engine.env;
  if (!LoadNamedProject(engine, line.project,
                        line.project + " does not exist, so no news item was written.")) {
    return 1;
  }
  if (line.date && !ParseNewsDate(CutTimeOfDay(*line.date), env.locale)) {
    env.ui.ShowMessage("--date \"" + *line.date + "\" is not a date the news lists can read. " +
                       kDateForms + " No news item was written.");
    return kUsageError;
  }
  ContentCreatorFields fields = OpenContentCreator(engine);
  fields.txtTitle = line.plain ? TextAsHtml(line.title) : line.title;
  fields.txtStory = line.plain ? StoryAsHtml(line.story) : line.story;
  fields.txtTags = line.plain ? TextAsHtml(line.tags) : line.tags;
  if (line.date) {
    fields.txtDate = *line.date;
  }
  const GenerateOutcome outcome = GenerateNewsItem(engine, fields);
  if (outcome == GenerateOutcome::kIncomplete) {
    env.log.DumpEvents();
  }
  return outcome == GenerateOutcome::kGenerated ? 0 : 1;
}

int RunNewsCommand(const std::vector<std::string>& args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(NewsUsageText().c_str(), args.empty() ? stderr : stdout);
    return args.empty() ? kUsageError : 0;
  }
  if (args[0] != "add") {
    std::fprintf(stderr, "pagorin: unknown news command %s\n%s", args[0].c_str(),
                 NewsUsageText().c_str());
    return kUsageError;
  }
  const NewsAddLine line = ParseNewsAddLine(std::vector<std::string>(args.begin() + 1, args.end()));
  if (line.help) {
    std::fputs(NewsAddUsageText().c_str(), stdout);
    return 0;
  }
  if (!line.error.empty()) {
    std::fprintf(stderr, "pagorin: %s\n%s", line.error.c_str(), NewsAddUsageText().c_str());
    return kUsageError;
  }
  HeadlessUi ui;
  bool valid = true;
  const std::optional<TimePoint> fixed_now =
      ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), &valid);
  ProgramServices services(ui, fixed_now);
  if (!valid) {
    static_cast<UserInterface&>(ui).ShowMessage(
        "SOURCE_DATE_EPOCH is not a whole number of seconds; the current time is used.");
  }
  Engine engine(services.env());
  return NewsAdd(engine, line);
}

}  // namespace pagorin
