// Finished pages written on a thread of their own, so that the next page is
// compiled while the last one goes to disk.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
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

  // How much may wait to be written: Queue, finding either bound reached,
  // waits until half of that is written.
  struct Room {
    std::size_t pages = 8;
    std::size_t bytes = SIZE_MAX;
  };

  // Throws std::system_error when no thread can be started.
  PageWriterThread(FileSystem& fs, SameText same, Room room);
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
  // The text of the last page of the name `page` handed over and not yet
  // written (being written counts as not yet); none when there is none.
  // Thread-safe, for a reader that cannot wait for the disk.
  std::optional<std::string> Queued(const std::string& page);

 private:
  struct Job {
    std::string page;
    std::string text;
  };

  void Run();
  std::optional<Failure> Write(const Job& job);

  // True when half the room is free again.
  bool HalfFree() const {
    return waiting_.size() <= room_.pages / 2 && waiting_bytes_ <= room_.bytes / 2;
  }

  FileSystem& fs_;
  const SameText same_;
  const Room room_;
  std::mutex mutex_;
  std::condition_variable work_;  // a page waits, or the thread is to end
  std::condition_variable done_;  // half the room came free, or every page is settled
  std::deque<Job> waiting_;
  std::size_t waiting_bytes_ = 0;  // of the texts in waiting_
  bool writing_ = false;           // the thread holds `current_`
  Job current_;
  bool ending_ = false;
  std::optional<Failure> failure_;
  std::vector<Written> written_;
  std::thread thread_;  // last, so that it starts when everything else is there
};

}  // namespace pagorin
