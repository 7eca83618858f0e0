#include "support/faulty_file_system.h"

#include <utility>

namespace pagorin::testing {

namespace {

// The failure armed for the next operation of kind `op`, or what `call`
// gives when none is due.
template <typename Call>
FsStatus FailOr(FaultyFileSystem& fs, FaultyFileSystem::Op op, Call call) {
  FsStatus status;
  return fs.ShouldFail(op, &status) ? status : call();
}

// Wraps a real output file so that its writes, syncs and closes can fail.
class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(FaultyFileSystem& owner, std::unique_ptr<OutputFile> real)
      : owner_(owner), real_(std::move(real)) {}

  FsStatus Append(std::string_view data) override {
    return FailOr(owner_, FaultyFileSystem::Op::kWrite, [&] { return real_->Append(data); });
  }
  FsStatus Sync() override {
    return FailOr(owner_, FaultyFileSystem::Op::kSync, [&] { return real_->Sync(); });
  }
  // A failed close still closes the real file.
  FsStatus Close() override {
    FsStatus real = real_->Close();
    return FailOr(owner_, FaultyFileSystem::Op::kClose, [&] { return real; });
  }

 private:
  FaultyFileSystem& owner_;
  std::unique_ptr<OutputFile> real_;
};

}  // namespace

void FaultyFileSystem::FailNth(Op op, int nth, FsError error, bool persistent) {
  faults_[op] = Fault{nth, error, persistent, 0};
  failed_ = false;
}

void FaultyFileSystem::FailNthWrite(int nth, FsError error) {
  write_fault_ = Fault{nth, error, false, 0};
  failed_ = false;
}

void FaultyFileSystem::Heal() {
  faults_.clear();
  write_fault_ = {};
}

int FaultyFileSystem::Count(Op op) const {
  return counts_.contains(op) ? counts_.at(op) : 0;
}

bool FaultyFileSystem::ShouldFail(Op op, FsStatus* status) {
  ++counts_[op];
  const bool writes = op != Op::kStat && op != Op::kRead && op != Op::kList;
  auto it = faults_.find(op);
  Fault* due = nullptr;
  if (writes && write_fault_.nth > 0 && ++write_fault_.seen == write_fault_.nth) {
    due = &write_fault_;
  } else if (it != faults_.end()) {
    Fault& fault = it->second;
    if (++fault.seen == fault.nth || (fault.seen > fault.nth && fault.persistent)) {
      due = &fault;
    }
  }
  if (due == nullptr) {
    return false;
  }
  failed_ = true;
  const Fault& fault = *due;
  status->code = fault.error;
  status->message =
      fault.error == FsError::kDiskFull ? "No space left on device (injected)" : "Injected failure";
  return true;
}

FileInfo FaultyFileSystem::Stat(const std::string& path) {
  FsStatus failed;
  return ShouldFail(Op::kStat, &failed) ? FileInfo{} : real_.Stat(path);
}

FsStatus FaultyFileSystem::ReadFile(const std::string& path, std::string* contents) {
  reads_.push_back(path);
  contents->clear();
  return FailOr(*this, Op::kRead, [&] { return real_.ReadFile(path, contents); });
}

FsStatus FaultyFileSystem::OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) {
  reads_.push_back(path);
  file->reset();
  return FailOr(*this, Op::kRead, [&] { return real_.OpenInput(path, file); });
}

FsStatus FaultyFileSystem::OpenOutput(const std::string& path, OpenMode mode,
                                      std::unique_ptr<OutputFile>* file) {
  file->reset();
  std::unique_ptr<OutputFile> real;
  FsStatus status = FailOr(*this, Op::kOpen, [&] { return real_.OpenOutput(path, mode, &real); });
  if (status.ok()) {
    *file = std::make_unique<FaultyOutputFile>(*this, std::move(real));
  }
  return status;
}

FsStatus FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  return FailOr(*this, Op::kRename, [&] { return real_.Rename(from, to); });
}
FsStatus FaultyFileSystem::Remove(const std::string& path) {
  return FailOr(*this, Op::kRemove, [&] { return real_.Remove(path); });
}
FsStatus FaultyFileSystem::Link(const std::string& from, const std::string& to) {
  return FailOr(*this, Op::kLink, [&] { return real_.Link(from, to); });
}
FsStatus FaultyFileSystem::MakeDirectory(const std::string& path) {
  return FailOr(*this, Op::kMkdir, [&] { return real_.MakeDirectory(path); });
}
FsStatus FaultyFileSystem::ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  return FailOr(*this, Op::kList, [&] { return real_.ListDirectory(path, entries); });
}
FsStatus FaultyFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  return FailOr(*this, Op::kSetReadOnly, [&] { return real_.SetReadOnly(path, read_only); });
}
FsStatus FaultyFileSystem::SetModified(const std::string& path, TimePoint when) {
  return FailOr(*this, Op::kSetModified, [&] { return real_.SetModified(path, when); });
}

}  // namespace pagorin::testing
