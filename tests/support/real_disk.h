// The real disk under a test's own file system: every call reaches it
// unless the test's class overrides that call to count, delay or refuse it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shared/real_file_system.h"

namespace pagorin {

class RealDisk : public FileSystem {
 public:
  bool ThreadSafe() const override { return true; }
  TimePoint Now() const override { return real_.Now(); }
  FileInfo Stat(const std::string& path) override { return real_.Stat(path); }
  FsStatus ReadFile(const std::string& path, std::string* contents) override {
    return real_.ReadFile(path, contents);
  }
  FsStatus ReadFileWithInfo(const std::string& path, std::string* contents,
                            FileInfo* info) override {
    return real_.ReadFileWithInfo(path, contents, info);
  }
  FsStatus OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) override {
    return real_.OpenInput(path, file);
  }
  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override {
    return real_.OpenOutput(path, mode, file);
  }
  FsStatus Rename(const std::string& from, const std::string& to) override {
    return real_.Rename(from, to);
  }
  FsStatus Link(const std::string& from, const std::string& to) override {
    return real_.Link(from, to);
  }
  FsStatus Remove(const std::string& path) override { return real_.Remove(path); }
  FsStatus MakeDirectory(const std::string& path) override { return real_.MakeDirectory(path); }
  FsStatus ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override {
    return real_.ListDirectory(path, entries);
  }
  FsStatus SetReadOnly(const std::string& path, bool read_only) override {
    return real_.SetReadOnly(path, read_only);
  }
  FsStatus SetModified(const std::string& path, TimePoint when) override {
    return real_.SetModified(path, when);
  }
  std::string MountPoint(const std::string& path) override { return real_.MountPoint(path); }

 protected:
  RealFileSystem real_;
};

}  // namespace pagorin
