// A failure at every write: an operation is run again and again, the 1st,
// 2nd, ... of its writes failing in turn, until it runs without reaching the
// failure. After each failed run every file must be its old bytes or its
// complete new ones, the person must have been told, and the next run,
// without a failure, must give exactly the files a run without any failure
// gives.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace pagorin::testing {

// Every file under a folder (paths relative to it, "/" for folders), with
// its bytes and modification time. Log files are left out, and the
// standard error a test keeps as stderr.txt: every run writes them,
// whatever it does.
struct FileTree {
  struct Entry {
    std::string bytes;
    std::filesystem::file_time_type modified;
  };
  std::map<std::string, Entry> files;
  std::set<std::string> folders;

  static FileTree Read(const std::string& root);
  // Makes the folder hold exactly this tree again (times included).
  void Restore(const std::string& root) const;
  // The files' bytes alone, for comparing.
  std::map<std::string, std::string> Bytes() const;
};

using FileBytes = std::map<std::string, std::string>;

// The files of `now` that are neither their bytes in `before` nor those in
// `after` (a missing file counting as bytes of its own), each named with
// its sizes; `also_whole` may accept other bytes (name, bytes, old, new).
using WholeBytes = std::function<bool(const std::string&, const std::string&, const std::string&,
                                      const std::string&)>;
std::vector<std::string> NeitherOldNorNew(const FileBytes& before, const FileBytes& after,
                                          const FileBytes& now, const WholeBytes& also_whole = {});
// The files whose bytes differ between the two, but those `may_differ`
// allows.
std::vector<std::string> Differences(const FileBytes& expected, const FileBytes& actual,
                                     const std::function<bool(const std::string&)>& may_differ);

// What a run of the operation gave.
struct RunResult {
  bool ok = false;
  std::string message;  // what the person was told of a failure
};

// One operation under test. `prepare` lays out the files it starts from
// under t.root(); `start` opens a session on them (a fresh engine, a
// project opened) and returns the operation bound to it, which is run on
// the same session once more after a failure.
struct WriteOperation {
  std::string name;
  std::function<void(TestEnv&)> prepare;
  std::function<std::function<RunResult()>(TestEnv&)> start;
  // Files (relative paths) that a run after a failure may leave other than a
  // clean run does, with why (a dated record of the run, say).
  std::function<bool(const std::string&)> may_differ_after_retry;
  // Whether a file's bytes, neither its old nor its new ones, are whole all
  // the same (a record that grows line by line as the run goes).
  WholeBytes also_whole;
  // Writes 1 to `every_write` fail one by one, later ones every
  // `stride`-th: for operations that repeat the same few writes for many
  // files.
  int every_write = 1 << 30;
  int stride = 1;
};

// Test names and failures show an operation by its name.
inline void PrintTo(const WriteOperation& op, std::ostream* out) {
  *out << op.name;
}

// What the loop saw.
struct WriteFailureFigures {
  int iterations = 0;  // runs with a failure, per error kind
  std::set<std::string> messages;
};

// Runs the loop for `op` with `error` as the failure, checking as described
// above (with gtest expectations, naming the write that failed). The
// operation must change at least one file.
WriteFailureFigures FailEveryWriteInTurn(TestEnv& t, const WriteOperation& op, FsError error);

// The last message box the person saw, or "" (for RunResult::message).
std::string LastMessage(const RecordingUi& ui);

}  // namespace pagorin::testing
