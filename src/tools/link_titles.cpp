#include "tools/link_titles.h"

#include <algorithm>
#include <vector>

#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/file_subs.h"
#include "shared/text.h"
#include "tools/tool_files.h"

namespace pagorin {

namespace {

constexpr std::string_view kLinkStart = "<a href";
constexpr std::string_view kLinkEnd = "</a>";

void TitleFolder(Env& env, const std::string& folder, const std::string& extensions,
                 LinkTitlesRun* run) {
  FileSubs files(env);
  std::vector<std::string> names;
  files.FillFiles(folder, extensions, &names);
  for (const std::string& name : names) {
    bool changed = false;
    const std::string path = files.Resolve(folder + name);
    const std::string text = AddLinkTitlesToText(files.LoadTextFile(path), &changed);
    if (changed) {
      ++(RewriteToolFile(env, path, text, "AddLinkTitles", "modSubs", false) ? run->rewritten
                                                                             : run->failed);
    }
  }
}

}  // namespace

// Works on the original text throughout: titles go into the output as it is
// copied, and positions of the text with the titles in are mapped back, so
// the cost stays linear in the length of the text.
std::string AddLinkTitlesToText(std::string_view text, bool* changed) {
  std::string out;
  std::size_t copied = 0;
  std::size_t search = 0;
  *changed = false;
  while (true) {
    const std::size_t a = FindNoCase(text, kLinkStart, search);
    if (a == std::string_view::npos) {
      break;
    }
    const std::size_t g = text.find('>', a);
    if (g == std::string_view::npos) {
      break;
    }
    const std::size_t e = FindNoCase(text, kLinkEnd, g);
    if (e == std::string_view::npos) {
      break;
    }
    search = e;
    if (FindNoCase(text.substr(a, g - a), " title=") != std::string_view::npos) {
      continue;
    }
    std::string link_text(text.substr(g + 1, e - g - 1));
    if (FindNoCase(link_text, "<img") != std::string::npos) {
      continue;
    }
    replacewith(link_text, "<BR>", " ");
    const std::string title = " title='" + removenonalphanumeric(link_text) + "'";
    out.append(text, copied, g - copied);
    out += title;
    copied = g;
    *changed = true;
    // The old place of "</a>" in the text with the title in: inside the
    // title (which holds no "<") or further on.
    search = std::max(g, e - std::min(e, title.size()));
  }
  if (!*changed) {
    return std::string(text);
  }
  out.append(text, copied);
  return out;
}

bool AddLinkTitles(Env& env, const std::string& path) {
  FileSubs files(env);
  const std::string resolved = files.Resolve(path);
  bool changed = false;
  const std::string text = AddLinkTitlesToText(files.LoadTextFile(resolved), &changed);
  return !changed || RewriteToolFile(env, resolved, text, "AddLinkTitles", "modSubs");
}

LinkTitlesRun mnuAddTitlesToLinks(Engine& engine) {
  LinkTitlesRun run;
  TitleFolder(engine.env, TemplatesDir(engine), ".template .asp .php .html .htm", &run);
  TitleFolder(engine.env, IncludesDir(engine), ".inc", &run);
  return run;
}

}  // namespace pagorin
