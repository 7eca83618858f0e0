// A FileSystem for tests that passes everything to the real disk and fails
// chosen operations on demand.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "shared/real_file_system.h"

namespace pagorin::testing {

// Operations are counted per kind from the moment a failure is armed. The
// Nth operation of that kind fails with `error`; with `persistent` every
// later one fails too.
class FaultyFileSystem final : public FileSystem {
 public:
  enum class Op {
    kStat,
    kRead,
    kOpen,
    kWrite,
    kSync,
    kClose,
    kRename,
    kRemove,
    kMkdir,
    kList,
    kSetReadOnly,
    kSetModified,
    kLink
  };

  void FailNth(Op op, int nth, FsError error = FsError::kOther, bool persistent = false);
  // Fails the nth operation that changes the disk (every kind but kStat,
  // kRead and kList), counted from now, whatever its kind.
  void FailNthWrite(int nth, FsError error = FsError::kOther);
  // Whether an armed failure has happened since it was armed.
  bool Failed() const { return failed_; }
  void Heal();  // no further failures
  // How many operations of a kind ran since the start.
  int Count(Op op) const;
  // Every path read through ReadFile or OpenInput, in order.
  const std::vector<std::string>& reads() const { return reads_; }

  // The disk's time as far ahead as set (an hour unless told otherwise), so
  // that the files a test has just written count as left alone long since;
  // a test of edits made at once after a read sets it to zero.
  TimePoint Now() const override { return real_.Now() + ahead_; }
  void SetAhead(std::chrono::seconds ahead) { ahead_ = ahead; }

  FileInfo Stat(const std::string& path) override;
  FsStatus ReadFile(const std::string& path, std::string* contents) override;
  // Counted as a read; the file's pieces are read without faults.
  FsStatus OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) override;
  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override;
  FsStatus Rename(const std::string& from, const std::string& to) override;
  FsStatus Remove(const std::string& path) override;
  FsStatus Link(const std::string& from, const std::string& to) override;
  FsStatus MakeDirectory(const std::string& path) override;
  FsStatus ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override;
  FsStatus SetReadOnly(const std::string& path, bool read_only) override;
  FsStatus SetModified(const std::string& path, TimePoint when) override;
  std::string MountPoint(const std::string& path) override { return real_.MountPoint(path); }

  // Used by the files it opens.
  bool ShouldFail(Op op, FsStatus* status);

 private:
  struct Fault {
    int nth = 0;
    FsError error = FsError::kOther;
    bool persistent = false;
    int seen = 0;
  };

  RealFileSystem real_;
  std::map<Op, Fault> faults_;
  Fault write_fault_;  // nth == 0: none armed
  bool failed_ = false;
  std::map<Op, int> counts_;
  std::vector<std::string> reads_;
  std::chrono::seconds ahead_{3600};
};

}  // namespace pagorin::testing
