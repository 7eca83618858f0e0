#include "app/page_writer.h"

#include <utility>

#include "app/build_limits.h"

namespace pagorin {

PageWriter::PageWriter(std::unique_ptr<OutputFile> file, std::string path)
    : file_(std::move(file)), path_(std::move(path)), collecting_(false) {
  buffer_.reserve(kBlockSize);
}

PageWriter::PageWriter(std::string path) : path_(std::move(path)), collecting_(true) {
  buffer_.reserve(kBlockSize);
}

PageWriter::~PageWriter() {
  Discard();
}

FsStatus PageWriter::Write(std::string_view text) {
  if (closed_) {
    return AlreadyClosed();
  }
  Count(text.size());
  if (!collecting() && text.size() >= kBlockSize) {
    FsStatus flushed = Flush();
    return flushed.ok() ? file_->Append(text) : flushed;
  }
  buffer_.append(text);
  return !collecting() && buffer_.size() >= kBlockSize ? Flush() : FsStatus::Ok();
}

FsStatus PageWriter::AlreadyClosed() const {
  return FsStatus{FsError::kOther, "write " + path_ + ": the page is already closed"};
}

void PageWriter::Count(std::size_t bytes) {
  taken_ += bytes;
  if (taken_ > kMaxPageBytes) {
    throw BuildLimitExceeded("The page grows past " + std::to_string(kMaxPageBytes >> 20) + " MB");
  }
}

FsStatus PageWriter::Flush() {
  if (buffer_.empty()) {
    return FsStatus::Ok();
  }
  FsStatus status = file_->Append(buffer_);
  buffer_.clear();
  return status;
}

FsStatus PageWriter::Close() {
  if (closed_) {
    return FsStatus::Ok();
  }
  closed_ = true;
  if (collecting()) {
    return FsStatus::Ok();
  }
  FsStatus status = Flush();
  FsStatus file_closed = file_->Close();
  file_.reset();
  return status.ok() ? file_closed : status;
}

void PageWriter::Discard() {
  closed_ = true;
  buffer_.clear();
  file_.reset();
}

std::string PageWriter::TakeText() {
  closed_ = true;
  return collecting() ? std::move(buffer_) : std::string();
}

}  // namespace pagorin
