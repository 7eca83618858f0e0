// The disk as the operating system shows it.
#pragma once

#include "shared/file_system.h"

struct stat;

namespace pagorin {

// What a stat() (or lstat()) result tells of a file.
FileInfo ToFileInfo(const struct stat& st);

// POSIX implementation of FileSystem. Stateless; one instance may serve the
// whole program, from any thread.
class RealFileSystem final : public FileSystem {
 public:
  bool ThreadSafe() const override { return true; }
  FileInfo Stat(const std::string& path) override;
  FsStatus ReadFile(const std::string& path, std::string* contents) override;
  FsStatus ReadFileWithInfo(const std::string& path, std::string* contents,
                            FileInfo* info) override;
  FsStatus OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) override;
  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override;
  FsStatus Rename(const std::string& from, const std::string& to) override;
  FsStatus Link(const std::string& from, const std::string& to) override;
  FsStatus Remove(const std::string& path) override;
  FsStatus MakeDirectory(const std::string& path) override;
  FsStatus ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override;
  FsStatus SetReadOnly(const std::string& path, bool read_only) override;
  FsStatus SetModified(const std::string& path, TimePoint when) override;
  // The highest folder above `path` on the same device.
  std::string MountPoint(const std::string& path) override;
};

}  // namespace pagorin
