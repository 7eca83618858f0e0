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
  const std::uint32_t number = records_.PathNumber(path);
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
  if (const auto found = input_index_.find(records_.PathNumber(path));
      found != input_index_.end()) {
    record_.inputs[found->second].date_used = true;
  }
}

void PageRecorder::TitleUsed(const std::string& title) {
  if (!record_.end_title && !record_.start_title) {
    record_.start_title = title;
  }
}

void PageRecorder::DateUsed(DollarVariable variable, const std::string& text) {
  std::optional<std::string>& used = record_.dates[DateTextIndex(variable)];
  if (used && *used != text) {
    record_.dates_varied = true;
  }
  used = text;
}

PageRecord* PageRecords::Find(const std::string& template_path) {
  const auto found = records_.find(template_path);
  if (found == records_.end()) {
    return nullptr;
  }
  Listed(*found->second);
  return found->second.get();
}

void PageRecords::Store(const std::string& template_path, PageRecord record) {
  Erase(template_path);
  Listed(record);
  records_.emplace(template_path, std::make_unique<PageRecord>(std::move(record)));
}

void PageRecords::Erase(const std::string& template_path) {
  const auto found = records_.find(template_path);
  if (found == records_.end()) {
    return;
  }
  if (found->second->listing == listing_) {
    --listed_;
  }
  records_.erase(found);
}

void PageRecords::Listed(PageRecord& record) {
  if (record.listing != listing_) {
    record.listing = listing_;
    ++listed_;
  }
}

std::uint32_t PageRecords::PathNumber(const std::string& path) {
  const auto [found, added] =
      path_numbers_.emplace(path, static_cast<std::uint32_t>(paths_.size()));
  if (added) {
    paths_.push_back(path);
  }
  return found->second;
}

void PageRecords::ForgetUnlisted() {
  // Mostly every record was listed, and none needs a look.
  if (listed_ == records_.size()) {
    return;
  }
  std::erase_if(records_, [&](const auto& entry) { return entry.second->listing != listing_; });
}

}  // namespace pagorin
