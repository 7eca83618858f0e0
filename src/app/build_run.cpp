#include "app/build_run.h"

#include <algorithm>

#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/text.h"

namespace pagorin {

BuildRun::BuildRun(Engine& owner)
    : engine(owner), env(owner.env), CurrentPageTitle(owner.last_page_title) {}

void BuildRun::SetCurrentPage(const std::string& template_path) {
  const cSHAREDSettings& settings = engine.ProjectSettings;
  if (!page_names_known_) {
    page_names_known_ = true;
    site_folder_ = GetProjectPath(engine);
    extension_ = settings.sGet("Extension", ".html").Text();
    // A page's own extension is looked up under "EXT_" and its upper-cased
    // name without commas, so only such names can answer.
    for (int i = 1; i <= settings.SettingsCount(); ++i) {
      const std::string name = settings.SettingNameByIndex(i);
      if (name.starts_with("EXT_") && name == UCase(name) && name.find(',') == std::string::npos) {
        own_extensions_.emplace_back(name.substr(4), settings.sGet(name).Text());
      }
    }
    // Of two entries of one name the first answers, as in the store.
    std::stable_sort(own_extensions_.begin(), own_extensions_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  std::string_view name = template_path;
  if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos) {
    name.remove_prefix(slash + 1);
  }
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
    name = name.substr(0, dot);
  }
  const std::string* extension = &extension_;
  if (!own_extensions_.empty()) {
    key_.clear();
    for (const char c : name) {
      if (c != ',') {
        key_.push_back(ToUpperAscii(c));
      }
    }
    const auto own = std::lower_bound(
        own_extensions_.begin(), own_extensions_.end(), key_,
        [](const auto& entry, const std::string& key) { return entry.first < key; });
    if (own != own_extensions_.end() && own->first == key_) {
      extension = &own->second;
    }
  }
  CurrentPageFile.assign(site_folder_).append(name).append(*extension);
}

bool BuildRun::LeaveUnchanged(const std::string& template_path, const std::string& page_file) {
  if (same_text != SameText::kKeep) {
    return false;
  }
  PageRecord* record = engine.page_records.Find(template_path);
  if (record == nullptr || record->page_file != page_file || !Matches(*record) ||
      !InputsMatch(*record)) {
    return false;
  }
  CurrentPageFile = page_file;
  for (TemplateVariables::Definition& definition : record->definitions) {
    engine.TemplateVars.Replay(definition);
  }
  if (record->end_title) {
    CurrentPageTitle = *record->end_title;
  }
  for (const std::string& line : record->events) {
    env.log.LogEvent(line);
  }
  ++pages_unchanged;
  return true;
}

// Everything but the files, which cost a status check each.
bool BuildRun::Matches(PageRecord& record) {
  const TemplateVariables& vars = engine.TemplateVars;
  if (!record.output_known || record.dates_varied ||
      record.variables_empty != (vars.SettingsCount() == 0) ||
      record.longest_name != vars.longest_name() || !Agrees(record.start_title, CurrentPageTitle) ||
      !Agrees(record.site_url, CurrentSiteURL)) {
    return false;
  }
  for (const auto& [text, value] : record.lookups) {
    const TemplateVariables::Variable* found = vars.Find(text);
    if (found == nullptr ? value.has_value() : !value || *value != found->second.text) {
      return false;
    }
  }
  if (record.dates[0] || record.dates[1] || record.dates[2]) {
    const CurrentDateTexts::Texts& now = current_dates.At(env.clock.Now(), env.locale);
    const std::string* texts[3] = {&now.file_change, &now.short_date, &now.long_date};
    for (int i = 0; i < 3; ++i) {
      if (!Agrees(record.dates[i], *texts[i])) {
        return false;
      }
    }
  }
  return OutputMatches(record);
}

bool BuildRun::Agrees(std::optional<std::uint32_t> recorded, const std::string& now) const {
  return !recorded || recorded == engine.page_records.NumberOf(now);
}

// A page written just before it was looked at might have been changed again
// since without its times showing it: its bytes are compared, when the
// record knows them, or it is compiled again (and kept if it holds its text).
bool BuildRun::OutputMatches(PageRecord& record) {
  // A watched page untouched since it was seen needs no status check.
  if (env.fs.UnchangedSince(record.page_file, record.output_seen_at)) {
    return true;
  }
  const FileInfo page = env.fs.Stat(record.page_file);
  if (!page.exists || page.is_directory || page.size != record.output.size ||
      page.modified != record.output.modified || page.changed != record.output.changed) {
    return false;
  }
  if (Settled(page.modified, page.changed, record.output_seen_at)) {
    return true;
  }
  if (!record.output_hash) {
    return false;
  }
  const TimePoint seen_at = env.fs.Now();
  std::string text;
  if (!env.fs.ReadFile(record.page_file, &text).ok() || TextHash(text) != *record.output_hash) {
    return false;
  }
  record.output_seen_at = seen_at;
  return true;
}

bool BuildRun::InputsMatch(PageRecord& record) {
  for (PageInput& input : record.inputs) {
    // The template, read first, belongs to this page alone: it is looked at
    // once, without being noted for the pages after.
    const InputNow looked = &input == &record.inputs.front() ? Look(input) : InputNow{};
    const InputNow& now = &input == &record.inputs.front() ? looked : Current(input);
    if (now.unreadable || now.missing != input.missing) {
      return false;
    }
    if (input.missing) {
      continue;
    }
    if (now.hash != input.hash || now.size != input.size ||
        (input.date_used && now.modified != input.modified)) {
      return false;
    }
    // The same bytes, read again: the next run need not read them.
    input.modified = now.modified;
    input.changed = now.changed;
    input.read_at = now.read_at;
  }
  return true;
}

// A file whose time and size are those it had when it was read, long enough
// after its last change, still holds the bytes then read; any other is
// looked up as the compiler would look it up.
const BuildRun::InputNow& BuildRun::Current(const PageInput& input) {
  if (input.path >= inputs_now_.size()) {
    inputs_now_.resize(engine.page_records.number_count());
  }
  std::optional<InputNow>& known = inputs_now_[input.path];
  if (!known) {
    known = Look(input);
  }
  return *known;
}

BuildRun::InputNow BuildRun::Look(const PageInput& input) {
  const std::string& path = engine.page_records.Text(input.path);
  InputNow now;
  if (!input.missing) {
    // A watched file untouched since it was read needs no status check.
    bool same = env.fs.UnchangedSince(path, input.read_at);
    if (!same && Settled(input.modified, input.changed, input.read_at)) {
      const FileInfo info = env.fs.Stat(path);
      same = info.exists && !info.is_directory && info.size == input.size &&
             info.modified == input.modified && info.changed == input.changed;
    }
    if (same) {
      now.size = input.size;
      now.modified = input.modified;
      now.changed = input.changed;
      now.read_at = input.read_at;
      now.hash = input.hash;
      return now;
    }
  }
  const clsCache::Lookup lookup = engine.FileCache.Read(path, clsCache::Keep::kOnce);
  if (lookup.status == clsCache::Lookup::Status::kMissing) {
    now.missing = true;
  } else if (lookup.status == clsCache::Lookup::Status::kUnreadable) {
    now.unreadable = true;
  } else {
    now.size = lookup.file->size;
    now.modified = lookup.file->modified;
    now.changed = lookup.file->changed;
    now.read_at = lookup.file->read_at;
    now.hash = lookup.file->hash;
  }
  return now;
}

void BuildRun::AwaitPage(const std::string& page_file, const std::string& template_path) {
  awaited_.insert_or_assign(page_file, template_path);
}

void BuildRun::PageWritten(const std::string& page_file, const FileInfo& info, TimePoint seen_at) {
  const auto awaited = awaited_.find(page_file);
  if (awaited == awaited_.end()) {
    return;
  }
  if (PageRecord* record = engine.page_records.Find(awaited->second);
      record != nullptr && record->page_file == page_file && info.exists) {
    record->output_known = true;
    record->output = info;
    record->output_seen_at = seen_at;
  }
  awaited_.erase(awaited);
}

}  // namespace pagorin
