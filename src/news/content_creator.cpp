#include "news/content_creator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/engine.h"
#include "app/project.h"
#include "app/project_paths.h"
#include "news/news_dates.h"
#include "news/news_item.h"
#include "news/news_reader.h"
#include "news/news_summaries.h"
#include "news/news_tags.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kProcedure = "cmdGen";
constexpr const char* kModule = "frmContentCreator";
constexpr std::size_t kMaxNumberDigits = 9;
constexpr const char* kNotGenerated = " No news item was generated.";

// The item number in the number box: digits only (blanks around them
// allowed), at least 1.
std::optional<std::int64_t> ItemNumber(const std::string& text) {
  const std::string_view digits = TrimView(text);
  if (digits.empty() || digits.size() > kMaxNumberDigits ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::int64_t number = std::stoll(std::string(digits));
  return number >= 1 ? std::optional<std::int64_t>(number) : std::nullopt;
}

// Why the fields cannot make an item; empty when they can.
std::string RefusalReason(const Engine& engine, const ContentCreatorFields& fields) {
  if (!engine.ProjectLoaded) {
    return "No project is open, so there is nowhere to put a news item." +
           std::string(kNotGenerated);
  }
  if (!ItemNumber(fields.txtNumber)) {
    return "The current number \"" + fields.txtNumber + "\" is not a whole number from 1 up." +
           kNotGenerated;
  }
  const std::pair<const char*, const std::string*> names[] = {
      {"template prefix", &fields.txtPrefix},
      {"source template", &fields.txtSourceTemplate},
      {"first include name", &fields.txtSourceInclude},
      {"second include name", &fields.txtSourceInclude2}};
  for (const auto& [which, name] : names) {
    if (LeavesFolder(*name)) {
      return std::string("The ") + which + " \"" + *name +
             "\" leads out of its folder; use a plain file name there." + kNotGenerated;
    }
  }
  const std::pair<const char*, const std::string*> includes[] = {
      {"first", &fields.txtSourceInclude}, {"second", &fields.txtSourceInclude2}};
  for (const auto& [which, name] : includes) {
    if (name->empty()) {
      return std::string("The ") + which + " include name is empty; it must contain 0000, " +
             "which will be replaced with the actual number." + kNotGenerated;
    }
    if (name->find("0000") == std::string::npos) {
      return std::string("The ") + which + " include name \"" + *name +
             "\" must contain 0000, which will be replaced with the actual number." + kNotGenerated;
    }
  }
  return {};
}

std::string Numbered(const std::string& source_name, const std::string& four_digits) {
  return ReplaceAll(source_name, "0000", four_digits, true);
}

// One source text filled for the item. The replacements run one after the
// other on the growing text, so a variable inside an earlier value is
// replaced in its turn.
std::string FillCopy(std::string text, const ContentCreatorFields& fields,
                     const std::string& four_digits) {
  auto replace = [&text](const std::string& find, const std::string& by) {
    text = ReplaceAll(text, find, by, true);
  };
  replace(fields.txtSourceInclude, Numbered(fields.txtSourceInclude, four_digits));
  replace(fields.txtSourceInclude2, Numbered(fields.txtSourceInclude2, four_digits));
  replace(fields.txtStoryVar, std::string(kStoryStart) + fields.txtStory + std::string(kStoryEnd) +
                                  std::string(kNumStart) + fields.txtNumber + std::string(kNumEnd));
  replace(fields.txtDateVar, std::string(kDateStart) + fields.txtDate + std::string(kDateEnd));
  replace(fields.txtTitleVar, std::string(kTitleStart) + fields.txtTitle + std::string(kTitleEnd));
  replace(fields.txtTagVar, std::string(kTagsStart) + fields.txtTags + std::string(kTagsEnd));
  replace("$NewsBareTitle$", fields.txtTitle);
  replace("$NewsBareStory$", fields.txtStory);
  replace(fields.txtNumVar, fields.txtNumber);
  return text;
}

struct ItemFile {
  std::string path;
  std::string text;
};

// Writes the files of one item whole or not at all: each goes to its
// temporary file first, and only when all three are there do they take
// their names, the page template last, so that neither a full disk nor a
// program killed half way leaves a template whose includes are missing.
// When one cannot take its name, those that already took theirs are put
// back as they were (removed, or given their old bytes again); so are all
// three when `commit`, run once they are in place, names a file it could not
// write. The path of the first file that could not be written (logged);
// empty when every one was.
std::string WriteItemFiles(Env& env, const std::vector<ItemFile>& files,
                           const std::function<std::string()>& commit) {
  const FileSubs subs(env);
  std::vector<std::unique_ptr<OutputFile>> written;
  for (const ItemFile& file : files) {
    std::unique_ptr<OutputFile> out;
    FsStatus status = OpenReplacement(env.fs, subs.Resolve(file.path), &out);
    if (status.ok()) {
      status = out->Append(file.text);
    }
    if (!status.ok()) {
      env.log.LogError("Can't write " + file.path + ": " + ErrorDescription(status), kProcedure,
                       kModule);
      return file.path;  // the temporary files written so far go with `written`
    }
    written.push_back(std::move(out));
  }
  // What each file held before: none, or its old bytes.
  std::vector<std::optional<std::string>> old(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string text;
    if (env.fs.ReadFile(subs.Resolve(files[i].path), &text).ok()) {
      old[i] = std::move(text);
    }
  }
  // Puts back the first `count` files in the order they took their names.
  auto put_back = [&](std::size_t count) {
    for (std::size_t done = 0; done < count; ++done) {
      const std::size_t j = (done + 1) % files.size();
      const std::string path = subs.Resolve(files[j].path);
      const FsStatus undone = old[j] ? ReplaceFile(env.fs, path, *old[j]) : env.fs.Remove(path);
      if (!undone.ok()) {
        env.log.LogError("Can't put back " + files[j].path + ": " + ErrorDescription(undone),
                         kProcedure, kModule);
      }
    }
  };
  for (std::size_t n = 0; n < written.size(); ++n) {
    const std::size_t i = (n + 1) % written.size();  // the page template (first) last
    if (const FsStatus status = written[i]->Close(); !status.ok()) {
      env.log.LogError("Can't write " + files[i].path + ": " + ErrorDescription(status), kProcedure,
                       kModule);
      put_back(n);
      return files[i].path;
    }
  }
  const std::string failed = commit();
  if (!failed.empty()) {
    put_back(files.size());
  }
  return failed;
}

// Moves the number past every item whose first include already exists.
std::int64_t FirstFreeNumber(Env& env, const std::string& includes_dir,
                             const std::string& source_include, std::int64_t number) {
  const FileSubs files(env);
  while (files.FileExists(includes_dir + Numbered(source_include, FourDigits(number)))) {
    ++number;
  }
  return number;
}

}  // namespace

ContentCreatorFields OpenContentCreator(const Engine& engine) {
  const cSHAREDSettings& project = engine.ProjectSettings;
  ContentCreatorFields fields;
  fields.txtNumber = project.RetrieveSetting("NewsNumber", 1).Text();
  fields.txtPrefix = project.RetrieveSetting("NewsPrefix", "news").Text();
  fields.txtSourceTemplate =
      project.RetrieveSetting("NewsSourceTemplate", "news0000.template").Text();
  fields.txtDate = cmdNow(engine.env);
  return fields;
}

std::string cmdNow(Env& env) {
  return NewsDateText(ToLocal(env.clock.Now()), env.locale);
}

GenerateOutcome GenerateNewsItem(Engine& engine, ContentCreatorFields& fields) {
  Env& env = engine.env;
  const std::string refusal = RefusalReason(engine, fields);
  if (!refusal.empty()) {
    env.ui.ShowMessage(refusal, Buttons::kOk, "Content Creator", Icon::kExclamation);
    return GenerateOutcome::kRefused;
  }
  cSHAREDSettings& project = engine.ProjectSettings;
  Savelist(project, fields.ListView1);
  RememberTags(project, fields.txtTags);

  const std::string templates_dir = TemplatesDir(engine);
  const std::string includes_dir = IncludesDir(engine);
  const std::int64_t number =
      FirstFreeNumber(env, includes_dir, fields.txtSourceInclude, *ItemNumber(fields.txtNumber));
  fields.txtNumber = std::to_string(number);
  const std::string four_digits = FourDigits(number);

  project.StoreSetting("NewsNumber", fields.txtNumber);
  project.StoreSetting("NewsPrefix", fields.txtPrefix);
  project.StoreSetting("NewsSourceTemplate", fields.txtSourceTemplate);

  const std::string source_template =
      ReadNewsFile(env, templates_dir + fields.txtSourceTemplate, kProcedure, kModule);
  const SettingValue extension =
      project.RetrieveSetting("Ext_" + filewithoutext(fields.txtSourceTemplate),
                              project.RetrieveSetting("Extension", ".html"));
  fields.txtTitle = ReplaceAll(fields.txtTitle, "\"", "'", true);

  const std::string page = templates_dir + fields.txtPrefix + four_digits + ".template";
  const std::string extension_key = "Ext_" + fields.txtPrefix + four_digits;
  // The item counts only once the project knows it.
  auto save_project = [&]() -> std::string {
    project.StoreSetting(extension_key, extension);
    if (SaveProjectSettingsOnly(engine, engine.ProjectFile)) {
      return {};
    }
    project.DeleteSettingByName(extension_key);
    return engine.ProjectFile;
  };
  const std::string failed = WriteItemFiles(
      env,
      {{page, FillCopy(source_template, fields, four_digits)},
       {includes_dir + Numbered(fields.txtSourceInclude, four_digits),
        FillCopy(ReadNewsFile(env, includes_dir + fields.txtSourceInclude, kProcedure, kModule),
                 fields, four_digits)},
       {includes_dir + Numbered(fields.txtSourceInclude2, four_digits),
        FillCopy(ReadNewsFile(env, includes_dir + fields.txtSourceInclude2, kProcedure, kModule),
                 fields, four_digits)}},
      save_project);

  if (failed.empty()) {
    env.ui.ShowMessage(page + " generated", Buttons::kOk);
    fields.txtTitle.clear();
    fields.txtStory.clear();
    fields.txtTags.clear();
  } else {
    env.ui.ShowMessage("Could not write " + failed + ", so news item " + fields.txtNumber +
                           " was not generated and no file of it was left. Check the folder "
                           "and press Generate again.",
                       Buttons::kOk, "Content Creator", Icon::kExclamation);
    if (failed != engine.ProjectFile) {
      // The lists, tags and number are kept for the next Generate.
      SaveProjectSettingsOnly(engine, engine.ProjectFile);
    }
  }
  return failed.empty() ? GenerateOutcome::kGenerated : GenerateOutcome::kIncomplete;
}

void ExitContentCreator(Engine& engine, const ContentCreatorFields& fields) {
  Savelist(engine.ProjectSettings, fields.ListView1);
}

void ContentCreatorClosed(Engine& engine) {
  GenerateNewsSummaries(engine.env, engine.ProjectSettings, GetProjectPath(engine));
  RefreshTemplateList(engine);
}

}  // namespace pagorin
