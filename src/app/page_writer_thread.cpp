#include "app/page_writer_thread.h"

#include <exception>
#include <memory>
#include <utility>

namespace pagorin {

PageWriterThread::PageWriterThread(FileSystem& fs, SameText same, Room room)
    : fs_(fs), same_(same), room_(room), thread_([this] { Run(); }) {}

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
  if (waiting_.size() >= room_.pages || waiting_bytes_ >= room_.bytes) {
    // Woken once for half a queue rather than once a page.
    done_.wait(lock, [this] { return failure_ || HalfFree(); });
  }
  if (failure_) {
    return;
  }
  waiting_bytes_ += text.size();
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
    bool given_up = false;
    bool room = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
      if (waiting_.empty()) {
        return;
      }
      const bool was_half_free = HalfFree();
      current_ = std::move(waiting_.front());
      waiting_.pop_front();
      waiting_bytes_ -= current_.text.size();
      writing_ = true;
      given_up = failure_.has_value();
      room = !was_half_free && HalfFree();
    }
    if (room) {
      done_.notify_all();
    }
    // Only this thread changes current_ while writing_ is set.
    const Job& job = current_;
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
        written.page = std::move(current_.page);
        written_.push_back(std::move(written));
      }
      current_ = Job{};
      settled = waiting_.empty() || failure_;
    }
    if (settled) {
      done_.notify_all();
    }
  }
}

std::optional<std::string> PageWriterThread::Queued(const std::string& page) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto job = waiting_.rbegin(); job != waiting_.rend(); ++job) {
    if (job->page == page) {
      return job->text;
    }
  }
  if (writing_ && current_.page == page) {
    return current_.text;
  }
  return std::nullopt;
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
