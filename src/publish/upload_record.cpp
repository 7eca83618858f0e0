#include "publish/upload_record.h"

#include <charconv>
#include <memory>
#include <vector>

#include "shared/file_system.h"
#include "shared/log.h"
#include "shared/paths.h"

namespace pagorin {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

bool ParseNumber(std::string_view text, int base, std::uint64_t* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

UploadRecord::UploadRecord(Env& env, std::string path, std::string target)
    : env_(env), path_(std::move(path)), target_(std::move(target)) {
  std::string text;
  if (path_.empty() || !env_.fs.ReadFile(path_, &text).ok()) {
    return;
  }
  // Only whole lines count: the last one may have been cut short.
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::vector<std::string_view> fields =
        Fields(std::string_view(text).substr(start, end - start));
    Entry entry;
    if (fields.size() == 4 && ParseNumber(fields[2], 10, &entry.size) &&
        ParseNumber(fields[3], 16, &entry.checksum)) {
      entries_[{std::string(fields[0]), std::string(fields[1])}] = entry;
    }
  }
}

std::string UploadRecord::PathFor(const std::string& project_file) {
  return project_file.empty() ? std::string() : filewithoutext(project_file) + ".uploads";
}

// FNV-1a, 64 bits: with the size beside it, a changed page that keeps its
// checksum is not a practical concern.
std::uint64_t UploadRecord::Checksum(std::string_view contents) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (unsigned char byte : contents) {
    hash = (hash ^ byte) * 1099511628211ULL;
  }
  return hash;
}

std::string UploadRecord::Line(const std::string& target, const std::string& name,
                               const Entry& entry) const {
  char checksum[17];
  const auto end = std::to_chars(checksum, checksum + 16, entry.checksum, 16).ptr;
  return target + "\t" + name + "\t" + std::to_string(entry.size) + "\t" +
         std::string(checksum, end) + "\n";
}

bool UploadRecord::Unchanged(const std::string& name, std::string_view contents) const {
  auto found = entries_.find({target_, name});
  return found != entries_.end() && found->second.size == contents.size() &&
         found->second.checksum == Checksum(contents);
}

void UploadRecord::Sent(const std::string& name, std::string_view contents) {
  const Entry entry{contents.size(), Checksum(contents)};
  entries_[{target_, name}] = entry;
  if (path_.empty()) {
    return;
  }
  dirty_ = true;
  std::unique_ptr<OutputFile> file;
  if (env_.fs.OpenOutput(path_, FileSystem::OpenMode::kAppend, &file).ok()) {
    file->Append(Line(target_, name, entry));
    file->Close();
  }
}

bool UploadRecord::Save() {
  if (path_.empty() || !dirty_) {
    return true;
  }
  std::string text;
  for (const auto& [key, entry] : entries_) {
    text += Line(key.first, key.second, entry);
  }
  const FsStatus saved = WriteFileAtomically(env_.fs, path_, text);
  if (!saved.ok()) {
    // The appended lines are still there: the next run reads them.
    env_.log.LogError(ErrorDescription(saved), "Save", "UploadRecord");
    return false;
  }
  dirty_ = false;
  return true;
}

}  // namespace pagorin
