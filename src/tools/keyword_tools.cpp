#include "tools/keyword_tools.h"

#include <exception>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/build_driver.h"
#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/file_subs.h"
#include "shared/html.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/text.h"
#include "tools/tool_files.h"

namespace pagorin {

namespace {

constexpr std::string_view kContentDirective = "[include=content_";
constexpr std::string_view kMetaStart = "<META name=";
constexpr std::string_view kMetaEnd = "\">";
constexpr int kMostKeywords = 25;

std::string MetaOpening(const std::string& name) {
  return std::string(kMetaStart) + "\"" + name + "\" content=\"";
}

// The words of the plain text, split at every blank as the person's word
// list is: leading, trailing and doubled blanks give empty words.
std::vector<std::string> SplitAtBlanks(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      words.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return words;
}

// Punctuation, contractions and a few common words out; runs of blanks made
// single.
std::string KeywordText(std::string text) {
  text = CRLFToSpace(text);
  for (const char* mark : {"\t", "(", ")", "?", "!", ","}) {
    replacewith_nc(text, mark, " ");
  }
  replacewith_nc(text, ".", "");
  for (const char* ending : {"'s", "'re", "'ll", "n't", "'t"}) {
    replacewith(text, ending, "");
  }
  for (const char* word : {" will ", " just ", " which ", " your ", " your "}) {
    replacewith(text, word, " ");
  }
  replacewith(text, "\"", "");
  replacewith(text, "'", "");
  return RemoveDoubleSpaces(text);
}

// The words of `counts` (non-zero at a word's first occurrence) that occur
// at least `threshold` times, each followed by ",".
std::string Collect(const std::vector<std::string>& words, const std::vector<int>& counts,
                    int threshold, int* collected) {
  std::string result;
  *collected = 0;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (counts[i] > 0 && counts[i] >= threshold) {
      result += words[i] + ",";
      ++*collected;
    }
  }
  return result;
}

}  // namespace

std::string SuggestKeywords(std::string content_html, Charset charset) {
  HtmlToPlainText(content_html, charset);
  const std::vector<std::string> words = SplitAtBlanks(KeywordText(std::move(content_html)));
  if (words.size() < 2) {
    return "";
  }
  // counts[i] is the number of times words[i] occurs when it is the first
  // occurrence of a word longer than three characters, else 0.
  std::vector<int> counts(words.size(), 0);
  std::unordered_map<std::string, std::size_t> first_of;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string trimmed = Trim(words[i]);
    if (trimmed.size() <= 3) {
      continue;
    }
    const auto [found, inserted] = first_of.emplace(LCase(trimmed), i);
    ++counts[found->second];
  }
  int threshold = 2;
  int collected = 0;
  std::string result = Collect(words, counts, threshold, &collected);
  if (collected < 2) {
    result = Collect(words, counts, threshold = 1, &collected);
  } else {
    while (threshold < 4 && collected > kMostKeywords) {
      result = Collect(words, counts, ++threshold, &collected);
    }
  }
  if (result.size() > 3) {
    result.pop_back();
  }
  return result;
}

void cmdSuggest(Engine& engine) {
  engine.texts.txtSuggested.clear();
  const int selected = engine.ListView1.FirstSelected();
  if (selected < 0) {
    return;
  }
  FileSubs files(engine.env);
  const std::string page =
      files.LoadTextFile(TemplatesDir(engine) + engine.ListView1.at(selected).tag);
  const std::size_t start = FindNoCase(page, kContentDirective);
  if (start == std::string::npos) {
    return;
  }
  const std::size_t middle = start + kContentDirective.size();
  const std::size_t end = FindNoCase(page, ".inc]", middle);
  if (end == std::string::npos) {
    return;
  }
  const std::string include =
      IncludesDir(engine) + "content_" + page.substr(middle, end - middle) + ".inc";
  engine.texts.txtSuggested = SuggestKeywords(
      files.LoadTextFile(include), CharsetFromName(engine.ProjectSettings.sGet("Charset").Text()));
}

bool cmdSetKwd_Click(Engine& engine, bool rename) {
  Env& env = engine.env;
  const int selected = engine.ListView1.FirstSelected();
  if (selected < 0) {
    return false;
  }
  bool written = true;
  try {
    FileSubs files(env);
    const std::string tag = engine.ListView1.at(selected).tag;
    const std::string template_path = files.Resolve(TemplatesDir(engine) + tag);
    std::string page = files.LoadTextFile(template_path);
    const std::size_t equals = page.find("=header_");
    const std::size_t bracket =
        equals == std::string::npos ? std::string::npos : page.find(']', equals);
    if (bracket == std::string::npos) {
      env.ui.ShowMessage("Can't find the header include (must start with header_)");
      return false;
    }
    const std::string header_name = page.substr(equals + 1, bracket - equals - 1);
    const std::string header_path = files.Resolve(IncludesDir(engine) + header_name);
    std::string header = files.LoadTextFile(header_path);
    const std::string& keywords = engine.texts.txtSuggested;

    const std::size_t tag_start = FindNoCase(header, std::string(kMetaStart) + "\"keywords\"");
    if (tag_start == std::string::npos) {
      std::size_t at = FindNoCase(header, "</title>");
      at = at == std::string::npos ? FindNoCase(header, "</head>") : at + 8;
      if (at == std::string::npos) {
        env.ui.ShowMessage("Can't find a '</HEAD>' or '</TITLE>' tag in " + header_name);
        return false;
      }
      header.insert(at, "\r\n\r\n    " + MetaOpening("keywords") + keywords + "\">\r\n");
    } else {
      const std::size_t content_equals = header.find('=', tag_start + kMetaStart.size());
      if (content_equals != std::string::npos) {
        const std::size_t value = std::min(content_equals + 2, header.size());
        const std::size_t close = header.find(kMetaEnd, value);
        if (close != std::string::npos) {
          header.replace(value, close - value, keywords);
        }
      }
    }

    if (rename) {
      const std::string new_name = "header_" + filewithoutext(fileonly(tag)) + ".inc";
      written = RewriteToolFile(env, IncludesDir(engine) + new_name, header, "cmdSetKwd_Click",
                                "frmMain");
      page.replace(equals + 1, bracket - equals - 1, new_name);
      written = written && RewriteToolFile(env, template_path, page, "cmdSetKwd_Click", "frmMain");
    } else {
      written = RewriteToolFile(env, header_path, header, "cmdSetKwd_Click", "frmMain");
    }
  } catch (const std::exception& error) {
    env.log.LogError(std::string(error.what()) + "(7)", "cmdSetKwd_Click", "frmMain");
  }
  const bool built = BuildPages(engine, /*selected_only=*/true);
  ShowDesc(engine);
  return written && built;
}

void ShowDesc(Engine& engine) {
  try {
    const int selected = engine.ListView1.FirstSelected();
    const SettingValue fallback = engine.ProjectSettings.sGet("Extension", ".html");
    engine.texts.txtExt =
        selected < 0
            ? fallback.Text()
            : engine.ProjectSettings.sGet("Ext_" + engine.ListView1.at(selected).text, fallback)
                  .Text();
    engine.texts.txtSuggested.clear();
    if (selected >= 0) {
      // The page is read once for both tags.
      FileSubs files(engine.env);
      const std::string page = BuildWebFilename(engine, engine.ListView1.at(selected).tag);
      const std::string text = files.FileExists(page) ? files.LoadTextFile(page) : "";
      engine.texts.txtDesc = MetaContentIn(text, "description");
      engine.texts.txtKeywords = MetaContentIn(text, "keywords");
    }
  } catch (const std::exception& error) {
    engine.env.log.LogError(std::string(error.what()) + "(7)", "ShowDesc", "frmMain");
  }
}

std::string GetMetaContent(Env& env, const std::string& path, const std::string& name) {
  FileSubs files(env);
  return files.FileExists(path) ? MetaContentIn(files.LoadTextFile(path), name) : "";
}

std::string MetaContentIn(std::string_view text, const std::string& name) {
  const std::string opening = MetaOpening(name);
  const std::size_t start = FindNoCase(text, opening);
  if (start == std::string::npos) {
    return "";
  }
  const std::size_t value = start + opening.size();
  const std::size_t close = text.find(kMetaEnd, value);
  return close == std::string::npos ? "" : std::string(text.substr(value, close - value));
}

std::string TidyKeywordText(std::string_view text) {
  const std::string opening = MetaOpening("keywords");
  const std::size_t start = FindNoCase(text, opening);
  if (start == std::string::npos) {
    return std::string(text);
  }
  const std::size_t value = start + opening.size();
  const std::size_t close = text.find(kMetaEnd, value);
  if (close == std::string::npos) {
    return std::string(text);
  }
  std::string list(text.substr(value, close - value));
  replacewith_nc(list, ", ", ",");
  replacewith_nc(list, ".,", ",");
  return std::string(text.substr(0, value)) + list + std::string(text.substr(close));
}

bool mnuTidyMeta(Engine& engine) {
  if (engine.env.ui.ShowMessage("This will remove spaces in keyword lists. E.g. ebook, book "
                                "becomes ebook,book. Proceed?",
                                Buttons::kYesNo) != Answer::kYes) {
    return false;
  }
  int failed = 0;
  TidyKeywordLists(engine, TemplatesDir(engine), &failed);
  TidyKeywordLists(engine, IncludesDir(engine), &failed);
  return failed == 0;
}

int TidyKeywordLists(Engine& engine, const std::string& folder, int* failed) {
  Env& env = engine.env;
  FileSubs files(env);
  std::vector<std::string> names;
  files.FillFiles(folder, "", &names);
  const std::string opening = MetaOpening("keywords");
  int written = 0;
  for (const std::string& name : names) {
    const std::string path = files.Resolve(addbackslash(folder) + name);
    const std::string text = files.LoadTextFile(path);
    const std::size_t start = FindNoCase(text, opening);
    if (start == std::string::npos ||
        text.find(kMetaEnd, start + opening.size()) == std::string::npos) {
      continue;
    }
    if (RewriteToolFile(env, path, TidyKeywordText(text), "TidyKeywordLists", "frmMain",
                        /*flush=*/false)) {
      ++written;
    } else if (failed != nullptr) {
      ++*failed;
    }
  }
  return written;
}

}  // namespace pagorin
