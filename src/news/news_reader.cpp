#include "news/news_reader.h"

#include <algorithm>

#include "news/news_dates.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kProcedure = "GenerateNewsSummaries";
constexpr const char* kModule = "frmMain";

void LogFailure(Env& env, const std::string& description, int number) {
  env.log.LogError(description + "(" + std::to_string(number) + ")", kProcedure, kModule);
}

// The names of the item page templates, in ascending byte order; the
// listing is sorted only once it holds them alone.
std::vector<std::string> ItemTemplateNames(Env& env, const std::string& templates_dir,
                                           const std::string& prefix, bool* any_template) {
  std::vector<std::string> names;
  const std::string source_template = prefix + "0000.template";
  *any_template = false;
  FileSubs(env).ListFiles(templates_dir, "template", &names, [&](std::string_view name) {
    *any_template = true;
    // The listing also takes extensions that merely occur in "template".
    return name.starts_with(prefix) && name != source_template &&
           EqualsNoCase(extonly(name), "template");
  });
  sortsimplecollection(names);
  return names;
}

// The text between the first `start` marker and the first `end` marker after
// it. Empty when `start` is missing (the source had no variable for it); also
// empty, and logged, when `end` does not follow it.
std::string MarkedValue(Env& env, const std::string& text, std::string_view start,
                        std::string_view end, const std::string& include_name) {
  const std::size_t opening = text.find(start);
  if (opening == std::string::npos) {
    return {};
  }
  const std::size_t value = opening + start.size();
  const std::size_t closing = text.find(end, value);
  if (closing == std::string::npos) {
    LogFailure(
        env,
        include_name + " has " + std::string(start) + " without " + std::string(end) + " after it",
        5);
    return {};
  }
  return text.substr(value, closing - value);
}

// The item number from the last four characters of the template's base name.
std::optional<std::int16_t> NumberFromName(std::string_view base) {
  const std::string_view last = base.substr(base.size() - std::min<std::size_t>(4, base.size()));
  if (last.size() != 4 ||
      !std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::int16_t number = 0;
  for (const char c : last) {
    number = static_cast<std::int16_t>(number * 10 + (c - '0'));
  }
  return number;
}

// Reads one item; false when the template is no item.
bool ReadItem(Env& env, const cSHAREDSettings& project, const std::string& site_folder,
              const std::string& prefix, const std::string& name, const NewsFileReader& read,
              clsNewsItem* item) {
  const std::string base = filewithoutext(name);
  const SettingValue extension =
      project.RetrieveSetting("Ext_" + base, project.RetrieveSetting("Extension", ".html"));
  item->strLink = site_folder + base + extension.Text();

  const std::optional<std::int16_t> number = NumberFromName(base);
  if (!number) {
    LogFailure(env, name + " does not end in a four-digit item number, so it is in no news list",
               13);
    return false;
  }
  item->iNum = *number;

  const std::string page = read(site_folder + "Templates/" + name);
  const std::string reference = "content_" + prefix + FourDigits(item->iNum);
  const std::size_t at = page.find(reference);
  if (at == std::string::npos) {
    LogFailure(env, name + " has no reference to " + reference + ", so it is in no news list", 53);
    return false;
  }
  const std::size_t bracket = page.find(']', at);
  std::string include_name;
  std::string include;
  if (bracket == std::string::npos) {
    LogFailure(env, "The reference to " + reference + " in " + name + " has no closing ]", 5);
  } else {
    include_name = page.substr(at, bracket - at);
    include = read(site_folder + "Includes/" + include_name);
  }

  item->strTitle = MarkedValue(env, include, kTitleStart, kTitleEnd, include_name);
  std::erase_if(item->strTitle, [](char c) { return c == '\r' || c == '\n'; });

  item->strDate = CutTimeOfDay(MarkedValue(env, include, kDateStart, kDateEnd, include_name));
  if (!TrimView(item->strDate).empty()) {
    if (const auto date = ParseNewsDate(item->strDate, env.locale)) {
      item->dDate = *date;
    } else {
      LogFailure(env,
                 "Type mismatch: the date \"" + item->strDate + "\" of " + name +
                     " is not a month name, day and year",
                 13);
    }
  }
  item->strStory = MarkedValue(env, include, kStoryStart, kStoryEnd, include_name);
  item->strTags = MarkedValue(env, include, kTagsStart, kTagsEnd, include_name);
  return true;
}

}  // namespace

std::string ReadNewsFile(Env& env, const std::string& path, const char* procedure,
                         const char* module) {
  std::string text;
  // The name as it stands first; only a name not found so is looked for in
  // another letter case.
  FsStatus status = env.fs.ReadFile(ToForwardSlashes(path), &text);
  if (status.code == FsError::kNotFound) {
    status = env.fs.ReadFile(FileSubs(env).Resolve(path), &text);
  }
  if (!status.ok() && status.code != FsError::kNotFound && status.code != FsError::kIsDirectory) {
    env.log.LogError(ErrorDescription(status), procedure, module);
  }
  return text;
}

std::optional<std::vector<clsNewsItem>> ReadNewsItems(Env& env,
                                                      const cSHAREDSettings& project_settings,
                                                      const std::string& site_folder,
                                                      const NewsFileReader& read) {
  const NewsFileReader read_file = read ? read : [&env](const std::string& path) {
    return ReadNewsFile(env, path, kProcedure, kModule);
  };
  const std::string prefix = project_settings.RetrieveSetting("NewsPrefix", "news").Text();
  bool any_template = false;
  const std::vector<std::string> names =
      ItemTemplateNames(env, site_folder + "Templates/", prefix, &any_template);
  if (!any_template) {
    return std::nullopt;
  }
  std::vector<clsNewsItem> items;
  items.reserve(names.size());
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    clsNewsItem item;
    if (ReadItem(env, project_settings, site_folder, prefix, *name, read_file, &item)) {
      items.push_back(std::move(item));
    }
  }
  // The items stay where they are while their places are sorted.
  std::vector<std::size_t> order(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = i;
  }
  std::stable_sort(order.begin(), order.end(), [&items](std::size_t a, std::size_t b) {
    return items[a].dDate < items[b].dDate;
  });
  std::vector<clsNewsItem> sorted;
  sorted.reserve(items.size());
  for (const std::size_t i : order) {
    sorted.push_back(std::move(items[i]));
  }
  return sorted;
}

}  // namespace pagorin
