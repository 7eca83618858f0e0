// The output page while it is being built.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shared/file_system.h"

namespace pagorin {

// Collects the pieces of a page and hands them to the file in large blocks,
// so a page made of many small pieces costs few writes. Close() (also run by
// the destructor) writes what is still held; after Close() nothing more is
// written. Failures are reported by the call that met them, once.
class PageWriter {
 public:
  PageWriter(std::unique_ptr<OutputFile> file, std::string path);
  ~PageWriter();
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  FsStatus Write(std::string_view text);
  FsStatus Close();
  bool closed() const { return file_ == nullptr; }
  const std::string& path() const { return path_; }

 private:
  FsStatus Flush();

  std::unique_ptr<OutputFile> file_;
  std::string path_;
  std::string buffer_;
};

}  // namespace pagorin
