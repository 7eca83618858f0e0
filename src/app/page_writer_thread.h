// Finished pages written on a thread of their own, so that the next page is
// compiled while the last one goes to disk.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "shared/file_system.h"

namespace pagorin {

// Writes the pages handed over, in the order they come, each replacing the
// file of its name whole (ReplaceFile, keeping a page that already holds its
// text when asked to). Only for a FileSystem that
// takes calls from two threads at once (FileSystem::ThreadSafe).
//
// Nothing here logs or shows anything: the first page that cannot be written
// is kept for the caller, who reports it, and no page handed over after it
// is written.
class PageWriterThread {
 public:
  struct Failure {
    std::string page;
    FsStatus status;
    bool opening = false;  // the page could not even be opened
  };

  // At most `max_waiting` pages wait at once; Queue, finding them all
  // there, waits until half of them are written.
  // Throws std::system_error when no thread can be started.
  explicit PageWriterThread(FileSystem& fs, SameText same = SameText::kRewrite,
                            std::size_t max_waiting = 8);
  // Writes the pages still waiting (none after a failure), then ends the
  // thread.
  ~PageWriterThread();
  PageWriterThread(const PageWriterThread&) = delete;
  PageWriterThread& operator=(const PageWriterThread&) = delete;

  void Queue(std::string page, std::string text);
  // The first failure so far, without waiting for the pages still waiting.
  std::optional<Failure> failure();
  // Waits until every page handed over is written or given up; the first
  // failure.
  std::optional<Failure> Finish();
  // A page written (or kept), as the disk showed it right after, and the
  // disk's time just before it was looked at.
  struct Written {
    std::string page;
    FileInfo info;
    TimePoint seen_at{};
  };
  // The pages written since the last call.
  std::vector<Written> TakeWritten();

 private:
  struct Job {
    std::string page;
    std::string text;
  };

  void Run();
  std::optional<Failure> Write(const Job& job);

  FileSystem& fs_;
  const SameText same_;
  const std::size_t max_waiting_;
  std::mutex mutex_;
  std::condition_variable work_;  // a page waits, or the thread is to end
  std::condition_variable done_;  // a page was taken or finished
  std::deque<Job> waiting_;
  bool writing_ = false;  // the thread holds a page
  bool ending_ = false;
  std::optional<Failure> failure_;
  std::vector<Written> written_;
  std::thread thread_;  // last, so that it starts when everything else is there
};

}  // namespace pagorin
