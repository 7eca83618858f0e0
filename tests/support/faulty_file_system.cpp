#include "support/faulty_file_system.h"

#include <utility>

namespace pagorin::testing {

namespace {

// Wraps a real output file so that its writes, syncs and closes can fail.
class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(FaultyFileSystem& owner, std::unique_ptr<OutputFile> real)
      : owner_(owner), real_(std::move(real)) {}

  FsStatus Append(std::string_view data) override {
    FsStatus status;
    if (owner_.ShouldFail(FaultyFileSystem::Op::kWrite, &status)) {
      return status;
    }
    return real_->Append(data);
  }
  FsStatus Sync() override {
    FsStatus status;
    if (owner_.ShouldFail(FaultyFileSystem::Op::kSync, &status)) {
      return status;
    }
    return real_->Sync();
  }
  FsStatus Close() override {
    FsStatus status;
    if (owner_.ShouldFail(FaultyFileSystem::Op::kClose, &status)) {
      real_->Close();
      return status;
    }
    return real_->Close();
  }

 private:
  FaultyFileSystem& owner_;
  std::unique_ptr<OutputFile> real_;
};

}  // namespace

void FaultyFileSystem::FailNth(Op op, int nth, FsError error, bool persistent) {
  faults_[op] = Fault{nth, error, persistent, 0};
}

void FaultyFileSystem::Heal() {
  faults_.clear();
}

int FaultyFileSystem::Count(Op op) const {
  auto it = counts_.find(op);
  return it == counts_.end() ? 0 : it->second;
}

bool FaultyFileSystem::ShouldFail(Op op, FsStatus* status) {
  ++counts_[op];
  auto it = faults_.find(op);
  if (it == faults_.end()) {
    return false;
  }
  Fault& fault = it->second;
  ++fault.seen;
  if (fault.seen == fault.nth || (fault.persistent && fault.seen > fault.nth)) {
    status->code = fault.error;
    status->message = fault.error == FsError::kDiskFull ? "No space left on device (injected)"
                                                        : "Injected failure";
    return true;
  }
  return false;
}

FileInfo FaultyFileSystem::Stat(const std::string& path) {
  FsStatus status;
  if (ShouldFail(Op::kStat, &status)) {
    return {};
  }
  return real_.Stat(path);
}

FsStatus FaultyFileSystem::ReadFile(const std::string& path, std::string* contents) {
  reads_.push_back(path);
  FsStatus status;
  if (ShouldFail(Op::kRead, &status)) {
    contents->clear();
    return status;
  }
  return real_.ReadFile(path, contents);
}

FsStatus FaultyFileSystem::OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) {
  reads_.push_back(path);
  FsStatus status;
  if (ShouldFail(Op::kRead, &status)) {
    file->reset();
    return status;
  }
  return real_.OpenInput(path, file);
}

FsStatus FaultyFileSystem::OpenOutput(const std::string& path, OpenMode mode,
                                      std::unique_ptr<OutputFile>* file) {
  FsStatus status;
  if (ShouldFail(Op::kOpen, &status)) {
    file->reset();
    return status;
  }
  std::unique_ptr<OutputFile> real;
  status = real_.OpenOutput(path, mode, &real);
  if (!status.ok()) {
    file->reset();
    return status;
  }
  *file = std::make_unique<FaultyOutputFile>(*this, std::move(real));
  return status;
}

#define PAGORIN_FAULT_OR(op, call) \
  do {                             \
    FsStatus status;               \
    if (ShouldFail(op, &status)) { \
      return status;               \
    }                              \
    return call;                   \
  } while (false)

FsStatus FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  PAGORIN_FAULT_OR(Op::kRename, real_.Rename(from, to));
}
FsStatus FaultyFileSystem::Remove(const std::string& path) {
  PAGORIN_FAULT_OR(Op::kRemove, real_.Remove(path));
}
FsStatus FaultyFileSystem::MakeDirectory(const std::string& path) {
  PAGORIN_FAULT_OR(Op::kMkdir, real_.MakeDirectory(path));
}
FsStatus FaultyFileSystem::ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  PAGORIN_FAULT_OR(Op::kList, real_.ListDirectory(path, entries));
}
FsStatus FaultyFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  PAGORIN_FAULT_OR(Op::kSetReadOnly, real_.SetReadOnly(path, read_only));
}
FsStatus FaultyFileSystem::SetModified(const std::string& path, TimePoint when) {
  PAGORIN_FAULT_OR(Op::kSetModified, real_.SetModified(path, when));
}

#undef PAGORIN_FAULT_OR

}  // namespace pagorin::testing
