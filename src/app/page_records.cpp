#include "app/page_records.h"

#include "shared/text.h"

namespace pagorin {

int DateTextIndex(DollarVariable variable) {
  switch (variable) {
    case DollarVariable::kFileChange:
      return 0;
    case DollarVariable::kShortDate:
      return 1;
    case DollarVariable::kLongDate:
      return 2;
    default:
      return -1;
  }
}

PageRecorder::PageRecorder(std::string page_file, const TemplateVariables& vars,
                           PageRecords& records)
    : records_(records) {
  record_.page_file = std::move(page_file);
  record_.variables_empty = vars.SettingsCount() == 0;
  record_.longest_name = vars.longest_name();
}

void PageRecorder::LookedUp(std::string_view text, const TemplateVariables::Variable* found) {
  std::string name = UCase(text);
  if (defined_.contains(name) || !looked_up_.insert(name).second) {
    return;
  }
  record_.lookups.emplace_back(std::move(name),
                               found == nullptr ? std::nullopt : std::optional(found->second.text));
}

void PageRecorder::Defined(const TemplateVariables::Variable& variable,
                           const TemplateVariables::Slot& slot) {
  defined_.insert(variable.first);
  record_.definitions.push_back(
      {variable.first, variable.second.text, variable.second.plain, slot});
}

void PageRecorder::Read(const std::string& path, const CachedFile* file) {
  const std::uint32_t number = records_.Number(path);
  if (!input_index_.emplace(number, record_.inputs.size()).second) {
    return;
  }
  PageInput input;
  input.path = number;
  if (file == nullptr) {
    input.missing = true;
  } else {
    input.size = file->size;
    input.modified = file->modified;
    input.changed = file->changed;
    input.read_at = file->read_at;
    input.hash = file->hash;
  }
  record_.inputs.push_back(std::move(input));
}

void PageRecorder::FileDateUsed(const std::string& path) {
  if (const auto found = input_index_.find(records_.Number(path)); found != input_index_.end()) {
    record_.inputs[found->second].date_used = true;
  }
}

void PageRecorder::TitleUsed(const std::string& title) {
  if (!record_.end_title && !record_.start_title) {
    record_.start_title = records_.Number(title);
  }
}

void PageRecorder::SiteUrlUsed(const std::string& url) {
  record_.site_url = records_.Number(url);
}

void PageRecorder::DateUsed(DollarVariable variable, const std::string& text) {
  std::optional<std::uint32_t>& used = record_.dates[DateTextIndex(variable)];
  const std::uint32_t number = records_.Number(text);
  if (used && *used != number) {
    record_.dates_varied = true;
  }
  used = number;
}

PageRecord* PageRecords::Find(const std::string& template_path) {
  const std::size_t position = Position(template_path);
  if (position == entries_.size() || entries_[position].record == nullptr) {
    return nullptr;
  }
  Listed(position);
  return entries_[position].record.get();
}

void PageRecords::Store(const std::string& template_path, PageRecord record) {
  Erase(template_path);
  std::size_t position = Position(template_path);
  if (position == entries_.size()) {
    positions_.emplace(template_path, position);
    entries_.push_back({template_path, nullptr});
  }
  entries_[position].record = std::make_unique<PageRecord>(std::move(record));
  ++records_;
  if (entries_[position].listing == listing_) {
    ++listed_;  // found before it was compiled again
  } else {
    Listed(position);
  }
}

void PageRecords::Erase(const std::string& template_path) {
  const std::size_t position = Position(template_path);
  if (position == entries_.size() || entries_[position].record == nullptr) {
    return;
  }
  if (entries_[position].listing == listing_) {
    --listed_;
  }
  entries_[position].record.reset();
  --records_;
}

void PageRecords::BeginListing() {
  ++listing_;
  listed_ = 0;
  next_ = 0;
  visited_.clear();
  out_of_order_ = false;
}

void PageRecords::ForgetUnlisted() {
  if (listed_ == records_ && records_ == entries_.size() && !out_of_order_) {
    return;
  }
  std::vector<Entry> kept;
  kept.reserve(listed_);
  for (const std::size_t position : visited_) {
    if (entries_[position].record != nullptr) {
      kept.push_back(std::move(entries_[position]));
    }
  }
  entries_ = std::move(kept);
  positions_.clear();
  for (std::size_t position = 0; position < entries_.size(); ++position) {
    positions_.emplace(entries_[position].template_path, position);
  }
  records_ = listed_ = entries_.size();
  next_ = 0;
  visited_.clear();
  out_of_order_ = false;
}

std::size_t PageRecords::Position(const std::string& template_path) const {
  // The template after the last one found, or that one again (compiled
  // after its record was found).
  for (const std::size_t guess : {next_, next_ - 1}) {
    if (guess < entries_.size() && entries_[guess].template_path == template_path) {
      return guess;
    }
  }
  const auto found = positions_.find(template_path);
  return found == positions_.end() ? entries_.size() : found->second;
}

void PageRecords::Listed(std::size_t position) {
  if (entries_[position].listing == listing_) {
    return;
  }
  entries_[position].listing = listing_;
  ++listed_;
  out_of_order_ = out_of_order_ || position != next_;
  visited_.push_back(position);
  next_ = position + 1;
}

std::uint32_t PageRecords::Number(const std::string& text) {
  // Looked up before anything is made: most texts have their number.
  if (const auto found = numbers_.find(text); found != numbers_.end()) {
    return found->second;
  }
  const auto number = static_cast<std::uint32_t>(texts_.size());
  numbers_.emplace(text, number);
  texts_.push_back(text);
  return number;
}

std::optional<std::uint32_t> PageRecords::NumberOf(const std::string& text) const {
  const auto found = numbers_.find(text);
  return found == numbers_.end() ? std::nullopt : std::optional(found->second);
}

}  // namespace pagorin
