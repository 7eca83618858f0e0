#include "news/news_summaries.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>

#include "news/news_lists.h"
#include "news/news_reader.h"
#include "news/news_tags.h"
#include "shared/charset.h"
#include "shared/file_subs.h"
#include "shared/html.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kProcedure = "GenerateNewsSummaries";
constexpr const char* kModule = "frmMain";
constexpr int kSummaryWords = 20;

struct ListJob {
  std::string include_file;
  std::string tags;
  std::int64_t count = 0;
  std::string outer;
  std::string inner;
};

// A count as a 32-bit whole number; an empty one is 0, anything else that is
// not such a number is logged and counts 0 too.
std::int64_t ItemCount(Env& env, const std::string& text, int definition) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) {
    return 0;
  }
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(trimmed.c_str(), &end, 10);
  if (errno != 0 || end != trimmed.c_str() + trimmed.size() ||
      value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    env.log.LogError("Type mismatch: the item count \"" + text + "\" of news list " +
                         std::to_string(definition) + " is not a whole number(13)",
                     kProcedure, kModule);
    return 0;
  }
  return value;
}

// The definitions with their template texts, every file read before any
// list is built; a template named by several definitions is read once.
std::vector<ListJob> ReadListJobs(Env& env, const cSHAREDSettings& project,
                                  const std::string& site_folder) {
  std::map<std::string, std::string> texts;
  auto template_text = [&](const std::string& name) -> const std::string& {
    auto [it, added] = texts.try_emplace(name);
    if (added && !name.empty()) {
      it->second = ReadNewsFile(env, site_folder + name, kProcedure, kModule);
    }
    return it->second;
  };
  std::vector<ListJob> jobs;
  int definition = 0;
  for (const NewsListDefinition& row : StoredNewsLists(project)) {
    ++definition;
    jobs.push_back({row.include_file, row.tags, ItemCount(env, row.item_count, definition),
                    template_text(row.outer_template), template_text(row.inner_template)});
  }
  return jobs;
}

// "Thu, 07 Mar 2024 00:00:00 +0000": the day in the form feeds use, in
// English whatever the locale; empty for an item whose date was not read.
std::string FeedDate(std::chrono::sys_days day) {
  if (day == kZeroDate) {
    return {};
  }
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::chrono::year_month_day date(day);
  const std::chrono::weekday weekday(day);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02u %s %04d 00:00:00 +0000", kDays[weekday.c_encoding()],
                static_cast<unsigned>(date.day()), kMonths[static_cast<unsigned>(date.month()) - 1],
                static_cast<int>(date.year()));
  return text;
}

class ItemFiller {
 public:
  ItemFiller(const std::vector<clsNewsItem>& items, Charset charset)
      : items_(items), charset_(charset) {
    summaries_.resize(items.size());
  }

  // The inner template with the placeholders replaced in their fixed order,
  // so a placeholder inside an earlier value is replaced in its turn. The
  // "Xml" forms are the values as XML text, for feeds.
  std::string Fill(const std::string& inner, std::size_t index) {
    const clsNewsItem& item = items_[index];
    std::string text = ReplaceAll(inner, "$NewsNum$", FourDigits(item.iNum), true);
    text = ReplaceAll(text, "$NewsTitle$", item.strTitle, true);
    text = ReplaceAll(text, "$NewsDate$", item.strDate, true);
    text = ReplaceAll(text, "$NewsLink$", fileonly(item.strLink), true);
    if (text.find("$NewsSummary$") != std::string::npos) {
      text = ReplaceAll(text, "$NewsSummary$", Summary(index), true);
    }
    text = ReplaceAll(text, "$NewsTags$", item.strTags, true);
    if (text.find("Xml$") != std::string::npos || text.find("$NewsPubDate$") != std::string::npos) {
      text = ReplaceAll(text, "$NewsTitleXml$", HtmlAsXmlText(item.strTitle, charset_), true);
      text = ReplaceAll(text, "$NewsDateXml$", HtmlAsXmlText(item.strDate, charset_), true);
      if (text.find("$NewsSummaryXml$") != std::string::npos) {
        text = ReplaceAll(text, "$NewsSummaryXml$", HtmlAsXmlText(Summary(index), charset_), true);
      }
      text = ReplaceAll(text, "$NewsTagsXml$", HtmlAsXmlText(item.strTags, charset_), true);
      text = ReplaceAll(text, "$NewsPubDate$", FeedDate(item.dDate), true);
    }
    return text;
  }

 private:
  // Worked out once per item however many lists show it: stories may be long.
  const std::string& Summary(std::size_t index) {
    std::optional<std::string>& summary = summaries_[index];
    if (!summary) {
      summary = items_[index].Summary(kSummaryWords) + " [...]";
    }
    return *summary;
  }

  const std::vector<clsNewsItem>& items_;
  const Charset charset_;
  std::vector<std::optional<std::string>> summaries_;
};

std::string ListText(const std::vector<clsNewsItem>& items, ItemFiller& filler,
                     const std::string& inner, const std::string& tags, std::int64_t count) {
  const std::vector<std::string> pieces = TagPieces(tags);
  auto matches = [&](const clsNewsItem& item) {
    if (tags.empty()) {
      return true;
    }
    for (const std::string& piece : pieces) {
      if (FindNoCase(item.strTags, piece) != std::string_view::npos) {
        return true;
      }
    }
    return false;
  };
  const std::int64_t total = static_cast<std::int64_t>(items.size());
  std::int64_t limit = count == -1 ? 0 : total - count;
  std::string list;
  for (std::int64_t position = total; position >= 1 && position > limit; --position) {
    const std::size_t index = static_cast<std::size_t>(position - 1);
    if (!matches(items[index])) {
      --limit;  // the list may reach one item further back
      continue;
    }
    list += filler.Fill(inner, index);
  }
  return list;
}

}  // namespace

std::string NewsListText(const std::vector<clsNewsItem>& items, const std::string& inner,
                         const std::string& tags, std::int64_t count) {
  ItemFiller filler(items, Charset::kUtf8);
  return ListText(items, filler, inner, tags, count);
}

std::string GenerateNewsSummaries(Env& env, const cSHAREDSettings& project_settings,
                                  const std::string& site_folder, const NewsFileReader& read,
                                  SameText same) {
  const std::optional<std::vector<clsNewsItem>> items =
      ReadNewsItems(env, project_settings, site_folder, read);
  if (!items) {
    return {};
  }
  std::string problem;
  const std::vector<ListJob> jobs = ReadListJobs(env, project_settings, site_folder);
  ItemFiller filler(*items, CharsetFromName(project_settings.sGet("Charset").Text()));
  FileSubs files(env);
  for (const ListJob& job : jobs) {
    if (job.inner.empty()) {
      continue;
    }
    const std::string path = site_folder + "Includes/" + job.include_file;
    if (job.include_file.empty()) {
      env.log.LogError("A news list definition names no include file(75)", kProcedure, kModule);
      continue;
    }
    if (LeavesFolder(job.include_file)) {
      env.log.LogError(
          "The news list " + job.include_file + " leads out of the Includes folder(75)", kProcedure,
          kModule);
      if (problem.empty()) {
        problem = "The news list \"" + job.include_file +
                  "\" leads out of the Includes folder, so it was not written.";
      }
      continue;
    }
    const std::string list = ListText(*items, filler, job.inner, job.tags, job.count);
    if (!files.WriteTextFile(path, ReplaceAll(job.outer, "$inner$", list, true), same)) {
      env.log.LogError("Can't write the news list " + path + "(75)", kProcedure, kModule);
      if (problem.empty()) {
        problem = "The news list " + path + " cannot be written.";
      }
    }
  }
  return problem;
}

}  // namespace pagorin
