// The output page while it is being built.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "shared/file_system.h"

namespace pagorin {

// Takes the pieces of a page as they are made. Writing into a file, it hands
// them over in large blocks, so a page made of many small pieces costs few
// writes; Close() writes what is still held and closes the file, Discard()
// (also run by the destructor when Close() was not) drops both, so a file
// opened by OpenReplacement is left as it was.
// Collecting, it keeps the whole page for TakeText() and writes nothing.
// After Close() nothing more is taken. Failures are reported by the call
// that met them, once.
class PageWriter {
 public:
  PageWriter(std::unique_ptr<OutputFile> file, std::string path);
  // Collects the page named `path`.
  explicit PageWriter(std::string path);
  ~PageWriter();
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  // Both throw BuildLimitExceeded once the page has grown past
  // kMaxPageBytes.
  FsStatus Write(std::string_view text);
  // Writes what `fill` appends to the string it is given, for text made on
  // the way, which then needs no string of its own.
  template <typename Fill>
  FsStatus WriteWith(Fill&& fill) {
    if (closed_) {
      return AlreadyClosed();
    }
    const std::size_t before = buffer_.size();
    fill(&buffer_);
    Count(buffer_.size() - before);
    return !collecting() && buffer_.size() >= kBlockSize ? Flush() : FsStatus::Ok();
  }
  FsStatus Close();
  void Discard();
  bool closed() const { return closed_; }
  bool collecting() const { return collecting_; }
  // The page collected so far, which closes it. Empty for a writer into a
  // file.
  std::string TakeText();
  const std::string& path() const { return path_; }

 private:
  static constexpr std::size_t kBlockSize = 1 << 16;

  FsStatus Flush();
  FsStatus AlreadyClosed() const;
  void Count(std::size_t bytes);

  std::unique_ptr<OutputFile> file_;
  std::string path_;
  std::string buffer_;
  const bool collecting_;
  bool closed_ = false;
  std::size_t taken_ = 0;  // bytes of the page so far
};

}  // namespace pagorin
