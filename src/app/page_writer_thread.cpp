#include "app/page_writer_thread.h"

#include <exception>
#include <memory>
#include <utility>

namespace pagorin {

PageWriterThread::PageWriterThread(FileSystem& fs, SameText same, std::size_t max_waiting)
    : fs_(fs), same_(same), max_waiting_(max_waiting), thread_([this] { Run(); }) {}

PageWriterThread::~PageWriterThread() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  thread_.join();
}

void PageWriterThread::Queue(std::string page, std::string text) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (waiting_.size() >= max_waiting_) {
    // Woken once for half a queue rather than once a page.
    done_.wait(lock, [this] { return failure_ || waiting_.size() <= max_waiting_ / 2; });
  }
  if (failure_) {
    return;
  }
  waiting_.push_back(Job{std::move(page), std::move(text)});
  work_.notify_one();
}

std::optional<PageWriterThread::Failure> PageWriterThread::failure() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return failure_;
}

std::optional<PageWriterThread::Failure> PageWriterThread::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return waiting_.empty() && !writing_; });
  return failure_;
}

void PageWriterThread::Run() {
  for (;;) {
    Job job;
    bool given_up = false;
    bool room = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
      if (waiting_.empty()) {
        return;
      }
      job = std::move(waiting_.front());
      waiting_.pop_front();
      writing_ = true;
      given_up = failure_.has_value();
      room = waiting_.size() == max_waiting_ / 2;
    }
    if (room) {
      done_.notify_all();
    }
    std::optional<Failure> failed;
    Written written;
    if (!given_up) {
      try {
        failed = Write(job);
        if (!failed) {
          written.seen_at = fs_.Now();
          written.info = fs_.Stat(job.page);
        }
      } catch (const std::exception& error) {  // out of memory, in practice
        failed = Failure{job.page, FsStatus{FsError::kOther, error.what()}, false};
      }
    }
    bool settled = false;  // what Finish or a waiting Queue waits for
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      writing_ = false;
      if (failed && !failure_) {
        failure_ = std::move(failed);
      } else if (!failed && !given_up) {
        written.page = std::move(job.page);
        written_.push_back(std::move(written));
      }
      settled = waiting_.empty() || failure_;
    }
    if (settled) {
      done_.notify_all();
    }
  }
}

std::vector<PageWriterThread::Written> PageWriterThread::TakeWritten() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(written_, {});
}

std::optional<PageWriterThread::Failure> PageWriterThread::Write(const Job& job) {
  std::unique_ptr<OutputFile> file;
  const FsStatus opened = OpenReplacement(fs_, job.page, &file, same_);
  if (!opened.ok()) {
    return Failure{job.page, opened, true};
  }
  const FsStatus written = file->Append(job.text);
  const FsStatus closed = file->Close();
  if (!written.ok() || !closed.ok()) {
    return Failure{job.page, written.ok() ? closed : written, false};
  }
  return std::nullopt;
}

}  // namespace pagorin
