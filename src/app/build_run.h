// One build run: what the compiler reads and changes while it builds the
// pages of one Generate, one rebuild of the preview server or one
// unattended build, beside the stores of the engine that outlive the run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/current_date_texts.h"
#include "app/page_records.h"
#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

struct Engine;
class PageWriterThread;

// Told how the pages of a run reach the disk, by a reader that would
// rather not wait for them (the preview server answers pages from the
// queue until they are written).
class PagesInFlight {
 public:
  virtual ~PagesInFlight() = default;
  // Every page of the run is made; those not yet written wait in `writer`
  // (PageWriterThread::Queued) until WriterEnding.
  virtual void AllQueued(PageWriterThread& writer) = 0;
  // The writer of the run is about to end, however the run went: every page
  // it was to write is written, or the run failed.
  virtual void WriterEnding() = 0;
};

class BuildRun {
 public:
  // Takes the title the engine's last run left.
  explicit BuildRun(Engine& engine);
  BuildRun(const BuildRun&) = delete;
  BuildRun& operator=(const BuildRun&) = delete;

  Engine& engine;
  Env& env;

  std::string CurrentSiteURL;   // $BASEURL, from WEBSITEURL at the start of the run
  std::string CurrentPageFile;  // full path of the page being built, then of the last one
  // Never cleared: a page without a title keeps the last one, also of an
  // earlier run (Engine::last_page_title).
  std::string CurrentPageTitle;
  CurrentDateTexts current_dates;  // $LONGDATE and the like, made once per second
  // What a page that already holds its new text becomes (BuiltFilesSameText),
  // taken at the start of the run.
  SameText same_text = SameText::kRewrite;
  // Set while the pages go to disk on a thread of their own.
  PageWriterThread* page_writer_thread = nullptr;
  // Set by a caller that takes the pages from the writer's queue while they
  // wait: the queue then holds far more of them.
  PagesInFlight* pages_in_flight = nullptr;
  // Set by a caller that knows the Templates folder still lists what the
  // template list holds (the preview server watches it): the list is then
  // not made again.
  bool template_list_current = false;
  // Set while a page is compiled: notes what it reads, defines and uses.
  PageRecorder* recorder = nullptr;

  // How the pages of the run went: compiled, or left as they were because
  // nothing they were made from had changed.
  int pages_compiled = 0;
  int pages_unchanged = 0;

  // CurrentPageFile becomes the page of `template_path`, as
  // BuildWebFilename names it, without an allocation: the extensions of
  // the run ("Extension" and the "Ext_" settings) are taken at its first
  // page.
  void SetCurrentPage(const std::string& template_path);
  // The site folder (GetProjectPath) as it was at the run's first page.
  const std::string& site_folder() const { return site_folder_; }

  // True when the page of `template_path` is left as it is: the run keeps
  // pages that hold their text, and the page's record matches the run in
  // every part, the page file included. Its effects on the run (definitions,
  // title, log lines) are then made again, and CurrentPageFile set.
  bool LeaveUnchanged(const std::string& template_path, const std::string& page_file);

  // The template whose page `page_file` is, while its write is awaited;
  // then the page reached the disk as `info`.
  void AwaitPage(const std::string& page_file, const std::string& template_path);
  void PageWritten(const std::string& page_file, const FileInfo& info, TimePoint seen_at);

 private:
  // A file as it is now, as far as the records compare it.
  struct InputNow {
    bool missing = false;
    bool unreadable = false;
    std::uint64_t size = 0;
    TimePoint modified{};
    TimePoint changed{};
    TimePoint read_at{};
    std::uint64_t hash = 0;
  };
  bool Matches(PageRecord& record);
  // True when the run's text `now` is the one recorded, or none was.
  bool Agrees(std::optional<std::uint32_t> recorded, const std::string& now) const;
  bool OutputMatches(PageRecord& record);
  bool InputsMatch(PageRecord& record);
  // The file as it is now, noted for the rest of the run; Look does not
  // note it.
  const InputNow& Current(const PageInput& input);
  InputNow Look(const PageInput& input);

  // What pages are named from, taken at the run's first page.
  bool page_names_known_ = false;
  std::string site_folder_;
  std::string extension_;
  // By the upper-cased name of the page without extension, sorted: a few
  // hundred of them stay in the processor's cache for the whole run.
  std::vector<std::pair<std::string, std::string>> own_extensions_;
  std::string key_;  // a page's name as looked up there
  // Checked in this run, by path number.
  std::vector<std::optional<InputNow>> inputs_now_;
  std::unordered_map<std::string, std::string> awaited_;  // page file -> template path
};

}  // namespace pagorin
