#include "app/page_writer.h"

#include <utility>

namespace pagorin {

PageWriter::PageWriter(std::unique_ptr<OutputFile> file, std::string path)
    : file_(std::move(file)), path_(std::move(path)) {
  buffer_.reserve(kBlockSize);
}

PageWriter::~PageWriter() {
  Close();
}

FsStatus PageWriter::Write(std::string_view text) {
  if (file_ == nullptr) {
    return AlreadyClosed();
  }
  if (text.size() >= kBlockSize) {
    FsStatus flushed = Flush();
    return flushed.ok() ? file_->Append(text) : flushed;
  }
  buffer_.append(text);
  return buffer_.size() >= kBlockSize ? Flush() : FsStatus::Ok();
}

FsStatus PageWriter::AlreadyClosed() const {
  return FsStatus{FsError::kOther, "write " + path_ + ": the page is already closed"};
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
  if (file_ == nullptr) {
    return FsStatus::Ok();
  }
  FsStatus status = Flush();
  FsStatus closed = file_->Close();
  file_.reset();
  return status.ok() ? closed : status;
}

}  // namespace pagorin
