// What the compile of each page depended on, kept for the whole run of the
// program, so that a later build run can leave a page whose inputs did not
// change as it is without compiling it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/file_cache.h"
#include "app/template_markup.h"
#include "app/template_variables.h"
#include "shared/file_system.h"

namespace pagorin {

// One file a page read, as it was then.
struct PageInput {
  std::uint32_t path = 0;  // as asked of the file cache (PageRecords::Text)
  bool missing = false;    // there was no such file (a template then reads as "-1")
  std::uint64_t size = 0;
  TimePoint modified{};
  TimePoint changed{};
  TimePoint read_at{};  // the file system's time when it was read
  std::uint64_t hash = 0;
  bool date_used = false;  // $FILECREATE gave its modification time
};

// Everything outside its own files that the page's text and its effects on
// the build run came from, and those effects.
struct PageRecord {
  std::string page_file;  // where the page was written
  std::vector<PageInput> inputs;
  // The variables the page started with, as far as they mattered: whether
  // there were any, the longest name (no longer text is looked up) and the
  // texts looked up before the page defined them, with the value each named.
  bool variables_empty = false;
  std::size_t longest_name = 0;
  std::vector<std::pair<std::string, std::optional<std::string>>> lookups;
  // What the page did to the run: its definitions in order, the title it
  // left, its log lines.
  std::vector<TemplateVariables::Definition> definitions;
  std::optional<std::string> end_title;
  std::vector<std::string> events;
  // Values the page took from the run (PageRecords::Text): the title an
  // earlier page left (for $ENCODEDPAGETITLE), $BASEURL and the current date
  // texts.
  std::optional<std::uint32_t> start_title;
  std::optional<std::uint32_t> site_url;
  std::optional<std::uint32_t> dates[3];  // $FILECHANGE, $SHORTDATE, $LONGDATE
  bool dates_varied = false;              // the page saw a date text change under it
  // The page file as it was once written (or kept), and the disk's time
  // just before it was looked at; unknown until then.
  bool output_known = false;
  FileInfo output;
  TimePoint output_seen_at{};
  // The hash of the page's text, when the page was handed over whole.
  std::optional<std::uint64_t> output_hash;
};

// Index into PageRecord::dates of a current-date variable; -1 for another.
int DateTextIndex(DollarVariable variable);

// Takes what a page's compile reads and defines while it runs.
class PageRecords;
class PageRecorder final : public TemplateVariables::Observer {
 public:
  // The paths of the files read are named in `records`.
  PageRecorder(std::string page_file, const TemplateVariables& vars, PageRecords& records);

  void LookedUp(std::string_view text, const TemplateVariables::Variable* found) override;
  void Defined(const TemplateVariables::Variable& variable,
               const TemplateVariables::Slot& slot) override;

  void Read(const std::string& path, const CachedFile* file);  // null: missing
  void FileDateUsed(const std::string& path);
  void TitleSet(const std::string& title) { record_.end_title = title; }
  void TitleUsed(const std::string& title);
  void SiteUrlUsed(const std::string& url);
  void DateUsed(DollarVariable variable, const std::string& text);
  void Event(const std::string& line) { record_.events.push_back(line); }

  PageRecord Take() { return std::move(record_); }

 private:
  PageRecords& records_;
  PageRecord record_;
  std::unordered_set<std::string> defined_;  // stored names the page defined
  std::unordered_set<std::string> looked_up_;
  std::unordered_map<std::uint32_t, std::size_t> input_index_;  // by path
};

// The records by template path. A record is only ever trusted after every
// one of its parts was compared with the run that wants to use it.
//
// A build asks for the templates in the same order every run, so the
// records are kept in that order and each is looked for first where the
// last one was found: a run over unchanged pages walks them one after the
// other instead of hashing every path into a table far larger than the
// processor's caches.
class PageRecords {
 public:
  PageRecord* Find(const std::string& template_path);
  void Store(const std::string& template_path, PageRecord record);
  void Erase(const std::string& template_path);
  // A build of every listed template finds or stores the records it still
  // needs between the two calls; the others are then forgotten, and the
  // rest put in the order they were asked for.
  void BeginListing();
  void ForgetUnlisted();

  // The texts many records share (the paths of the files they read, the
  // site's address, the date texts), each kept once under a number of its
  // own: a file many pages read is compared once per run without hashing its
  // path for every page, and a value a page took from the run is compared
  // without a look at memory of the page's own. Numbers stay for the life
  // of the records.
  std::uint32_t Number(const std::string& text);
  // The number of `text`, if it has one.
  std::optional<std::uint32_t> NumberOf(const std::string& text) const;
  const std::string& Text(std::uint32_t number) const { return texts_[number]; }
  std::size_t number_count() const { return texts_.size(); }

 private:
  struct Entry {
    std::string template_path;
    std::unique_ptr<PageRecord> record;  // null once erased
    std::uint64_t listing = 0;           // the last listing that found or stored it
  };
  // The position of `template_path`, or entries_.size().
  std::size_t Position(const std::string& template_path) const;
  // Marks the record at `position` found or stored in this listing.
  void Listed(std::size_t position);

  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> positions_;  // by template path
  std::size_t next_ = 0;  // where the next template is looked for first
  std::uint64_t listing_ = 1;
  std::size_t listed_ = 0;            // records whose listing is listing_
  std::size_t records_ = 0;           // entries with a record
  std::vector<std::size_t> visited_;  // positions listed in this listing, in order
  bool out_of_order_ = false;         // a template was not found where looked for first
  std::unordered_map<std::string, std::uint32_t> numbers_;
  std::vector<std::string> texts_;
};

}  // namespace pagorin
