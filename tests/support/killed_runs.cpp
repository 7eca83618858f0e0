#include "support/killed_runs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "support/write_failures.h"

namespace pagorin::testing {

pid_t StartProgram(const TestEnv& t, const std::string& executable,
                   const std::vector<std::string>& args, const std::string& day,
                   const std::string& errors) {
  std::vector<std::string> argv{"pagorin"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) {
    pointers.push_back(arg.data());
  }
  pointers.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 2);
    if (::chdir(t.root().c_str()) != 0) {
      ::_exit(126);
    }
    ::setenv("SOURCE_DATE_EPOCH", day.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", t.Path("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", t.Path("data").c_str(), 1);
    ::setenv("TZ", "UTC", 1);
    ::setenv("LC_ALL", "C", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::execv(executable.c_str(), pointers.data());
    ::_exit(127);
  }
  return pid;
}

int WaitForExit(pid_t pid) {
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

KillFigures KillInTurn(TestEnv& t, const KilledOperation& op, unsigned seed) {
  SCOPED_TRACE(op.name);
  const FileTree before = FileTree::Read(t.root());
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(0, WaitForExit(op.start()));
  const auto whole_run = std::chrono::steady_clock::now() - started;
  const FileBytes old_bytes = before.Bytes();
  const FileBytes new_bytes = FileTree::Read(t.root()).Bytes();

  std::mt19937 random(seed);
  std::uniform_int_distribution<long long> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole_run).count());
  KillFigures figures;
  for (int round = 0; round < op.rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    before.Restore(t.root());
    const pid_t pid = op.start();
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(pid, SIGKILL);
    if (WaitForExit(pid) == -1) {
      ++figures.killed_before_the_end;
    }
    ++figures.rounds;
    // Temporary files may stay behind; the next run takes them over.
    const FileBytes now = FileTree::Read(t.root()).Bytes();
    std::vector<std::string> wrong;
    for (const std::string& name : NeitherOldNorNew(old_bytes, new_bytes, now)) {
      const std::string path = name.substr(0, name.rfind(" ("));
      const std::string file = path.substr(path.rfind('/') + 1);
      const bool temporary =
          file.starts_with(".") && (file.ends_with(".tmp") || file.ends_with(".part"));
      if (!temporary && !(op.may_differ && op.may_differ(path))) {
        wrong.push_back(name);
      }
    }
    EXPECT_EQ(std::vector<std::string>{}, wrong);
    EXPECT_EQ(0, WaitForExit(op.start())) << t.ReadFile(t.Path("stderr.txt"));
    EXPECT_EQ(std::vector<std::string>{},
              Differences(new_bytes, FileTree::Read(t.root()).Bytes(), op.may_differ));
    if (::testing::Test::HasFailure()) {
      break;
    }
  }
  before.Restore(t.root());
  return figures;
}

}  // namespace pagorin::testing
