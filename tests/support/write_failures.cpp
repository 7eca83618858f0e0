#include "support/write_failures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>

namespace pagorin::testing {

namespace {

namespace stdfs = std::filesystem;

bool IsLogFile(const stdfs::path& path) {
  return path.filename() == "log.txt" || path.filename() == "fulllog.txt" ||
         path.filename() == "stderr.txt";
}

std::optional<std::string> BytesOf(const std::map<std::string, std::string>& files,
                                   const std::string& name) {
  auto it = files.find(name);
  return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
}

// The names of all the file sets, each once, in order.
std::set<std::string> Names(
    std::initializer_list<const std::map<std::string, std::string>*> file_sets) {
  std::set<std::string> names;
  for (const auto* files : file_sets) {
    for (const auto& [name, bytes] : *files) {
      names.insert(name);
    }
  }
  return names;
}

std::string Describe(const std::optional<std::string>& bytes) {
  return bytes ? std::to_string(bytes->size()) + " bytes" : "missing";
}

}  // namespace

// Every file of `now` is its bytes in `before` or in `after` (a missing file
// counting as one of the two); the names of those that are neither.
std::vector<std::string> NeitherOldNorNew(const std::map<std::string, std::string>& before,
                                          const std::map<std::string, std::string>& after,
                                          const std::map<std::string, std::string>& now,
                                          const WholeBytes& also_whole) {
  std::vector<std::string> wrong;
  for (const std::string& name : Names({&before, &after, &now})) {
    const auto is = BytesOf(now, name);
    const auto was = BytesOf(before, name);
    const auto will_be = BytesOf(after, name);
    if (is != was && is != will_be &&
        !(is && also_whole && also_whole(name, *is, was.value_or(""), will_be.value_or("")))) {
      wrong.push_back(name + " (" + Describe(is) + "; old " + Describe(was) + ", new " +
                      Describe(will_be) + ")");
    }
  }
  return wrong;
}

// The names whose bytes differ between the two, but those `may_differ`
// allows.
std::vector<std::string> Differences(const std::map<std::string, std::string>& expected,
                                     const std::map<std::string, std::string>& actual,
                                     const std::function<bool(const std::string&)>& may_differ) {
  std::vector<std::string> wrong;
  for (const std::string& name : Names({&expected, &actual})) {
    const auto is = BytesOf(actual, name);
    const auto should_be = BytesOf(expected, name);
    if (is != should_be && !(may_differ && may_differ(name))) {
      wrong.push_back(name + " (" + Describe(is) + ", expected " + Describe(should_be) + ")");
    }
  }
  return wrong;
}

FileTree FileTree::Read(const std::string& root) {
  FileTree tree;
  for (auto it = stdfs::recursive_directory_iterator(root);
       it != stdfs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().string().substr(root.size());
    if (it->is_directory()) {
      tree.folders.insert(name);
    } else if (it->is_regular_file() && !IsLogFile(it->path())) {
      std::ifstream in(it->path(), std::ios::binary);
      tree.files[name] = Entry{std::string(std::istreambuf_iterator<char>(in), {}),
                               stdfs::last_write_time(it->path())};
    }
  }
  return tree;
}

// Only what differs is touched: most files of a tree are as they were.
void FileTree::Restore(const std::string& root) const {
  const FileTree now = Read(root);
  for (const auto& [name, entry] : now.files) {
    if (!files.contains(name)) {
      stdfs::remove(root + name);
    }
  }
  for (auto folder = now.folders.rbegin(); folder != now.folders.rend(); ++folder) {
    if (!folders.contains(*folder)) {
      stdfs::remove_all(root + *folder);
    }
  }
  for (const std::string& folder : folders) {
    stdfs::create_directories(root + folder);
  }
  for (const auto& [name, entry] : files) {
    auto it = now.files.find(name);
    if (it == now.files.end() || it->second.bytes != entry.bytes ||
        it->second.modified != entry.modified) {
      std::ofstream(root + name, std::ios::binary | std::ios::trunc) << entry.bytes;
      stdfs::last_write_time(root + name, entry.modified);
    }
  }
}

std::map<std::string, std::string> FileTree::Bytes() const {
  std::map<std::string, std::string> bytes;
  for (const auto& [name, entry] : files) {
    bytes[name] = entry.bytes;
  }
  return bytes;
}

std::string LastMessage(const RecordingUi& ui) {
  return ui.messages.empty() ? std::string() : ui.messages.back().text;
}

WriteFailureFigures FailEveryWriteInTurn(TestEnv& t, const WriteOperation& op, FsError error) {
  SCOPED_TRACE(op.name);
  op.prepare(t);
  const FileTree before = FileTree::Read(t.root());
  RunResult clean = op.start(t)();
  EXPECT_TRUE(clean.ok) << clean.message;
  const std::map<std::string, std::string> old_bytes = before.Bytes();
  const std::map<std::string, std::string> new_bytes = FileTree::Read(t.root()).Bytes();
  EXPECT_TRUE(old_bytes != new_bytes) << "the operation changes nothing";

  WriteFailureFigures figures;
  // A generous bound, so that an operation that never stops writing ends
  // the test instead of hanging it.
  constexpr int kMostWrites = 5000;
  for (int nth = 1; nth <= kMostWrites; nth += nth < op.every_write ? 1 : op.stride) {
    SCOPED_TRACE("write " + std::to_string(nth) + " failing");
    before.Restore(t.root());
    t.ui.messages.clear();
    const std::function<RunResult()> run = op.start(t);
    t.fs.FailNthWrite(nth, error);
    const RunResult failed = run();
    const bool fired = t.fs.Failed();
    t.fs.Heal();
    const std::map<std::string, std::string> now = FileTree::Read(t.root()).Bytes();
    if (!fired) {
      EXPECT_TRUE(failed.ok) << failed.message;
      EXPECT_EQ(std::vector<std::string>{}, Differences(new_bytes, now, {}));
      break;
    }
    ++figures.iterations;
    if (failed.ok) {
      // The failure did not matter (a temporary file that could not be
      // removed is taken over by the next write): the run did its whole work.
      EXPECT_EQ(std::vector<std::string>{}, Differences(new_bytes, now, op.may_differ_after_retry))
          << "a run that met a failure said it succeeded";
    } else {
      EXPECT_EQ(std::vector<std::string>{},
                NeitherOldNorNew(old_bytes, new_bytes, now, op.also_whole));
      EXPECT_NE("", failed.message) << "the failure was not told";
      figures.messages.insert(failed.message);
    }
    t.ui.messages.clear();
    const RunResult again = run();
    EXPECT_TRUE(again.ok) << again.message;
    EXPECT_EQ(std::vector<std::string>{},
              Differences(new_bytes, FileTree::Read(t.root()).Bytes(), op.may_differ_after_retry))
        << "the run after the failure";
    if (::testing::Test::HasFailure()) {
      break;  // one iteration's report is enough to go on
    }
  }
  before.Restore(t.root());
  return figures;
}

}  // namespace pagorin::testing
