// The "news" subcommand of the pagorin executable, for people who post news
// from scripts:
//   pagorin news add PROJECT.pgx --title T --story S [--tags A,B] [--date D]
//                    [--plain]
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagorin {

struct Engine;

struct NewsAddLine {
  bool help = false;
  std::string project;
  std::string title;
  std::string story;
  std::string tags;
  std::optional<std::string> date;  // none: the Content Creator's Now
  bool plain = false;               // title, story and tags are text, not HTML
  // Why the line cannot be used; empty when it can.
  std::string error;
};

// `args` are the arguments after "add". Options take their value as the
// next argument or after "=" ("--title=T"); after "--" every argument is the
// project path.
NewsAddLine ParseNewsAddLine(const std::vector<std::string>& args);

std::string NewsUsageText();     // pagorin news --help
std::string NewsAddUsageText();  // pagorin news add --help

// Writes one item into the project `line.project` exactly as the Content
// Creator's Generate does, with the dialog's default settings and the
// project's number, prefix and source template; with `plain`, the title,
// story and tags as text (TextAsHtml, line breaks as "<br>"). Every message
// goes through the engine's seam. Returns the exit status: 0 when the item
// was written, 1 when the project could not be opened, the item was refused
// or a file could not be written, 2 for a date that cannot be read (the
// message lists the forms that can).
int NewsAdd(Engine& engine, const NewsAddLine& line);

// The whole subcommand with the real services (messages on standard error,
// the clock at SOURCE_DATE_EPOCH when that is set); `args` are the arguments
// after "news". Exit status 2 for a command line that cannot be used.
int RunNewsCommand(const std::vector<std::string>& args);

}  // namespace pagorin
