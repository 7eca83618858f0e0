// Every operation that writes, on a copy of the Sample, with each of its
// writes failing in turn (see support/write_failures.h): no file is ever
// left cut short or mixed, the person is told, and the next run works.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/build_driver.h"
#include "app/engine.h"
#include "app/project.h"
#include "app/version_includes.h"
#include "editor/editor_text.h"
#include "news/news_command.h"
#include "news/news_summaries.h"
#include "publish/upload_record.h"
#include "shared/settings.h"
#include "support/ring_messages.h"
#include "support/write_failures.h"
#include "tools/tools_command.h"
#include "update/updater.h"

namespace pagorin::testing {
namespace {

// These tests restore whole sites hundreds of times: in memory, where the
// machine has a memory file system (for every test of this executable).
[[maybe_unused]] const bool kInMemory = [] {
  if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm")) {
    ::setenv("TMPDIR", "/dev/shm", 1);
  }
  return true;
}();

constexpr const char* kSite = "Sample/";
constexpr const char* kProject = "Sample/Sample.pgx";

// The Sample, built once, so that every page, list and include is there.
void PrepareSample(TestEnv& t) {
  std::filesystem::copy(PAGORIN_SOURCE_DIR "/Sample", t.Path("Sample"),
                        std::filesystem::copy_options::recursive);
  Engine engine(t.env);
  engine.ProjectFile = t.Path(kProject);
  ASSERT_TRUE(OpenProject(engine));
  ASSERT_TRUE(BuildPages(engine, false));
}

// A fresh engine with the Sample's project open, kept alive by the
// operation bound to it.
std::shared_ptr<Engine> OpenSample(TestEnv& t) {
  auto engine = std::make_shared<Engine>(t.env);
  engine->ProjectFile = t.Path(kProject);
  EXPECT_TRUE(OpenProject(*engine));
  return engine;
}

// The message of the last box, else the last failure of the log's ring.
RunResult Result(TestEnv& t, bool ok) {
  std::string message = LastMessage(t.ui);
  if (message.empty() && !t.ui.error_reports.empty()) {
    message = t.ui.error_reports.back();
  }
  if (message.empty() && !ok) {
    message = RingMessages(t.log);
  }
  return {ok, message};
}

// Whether `bytes` are complete lines, each a line of `whole`.
bool LinesOf(const std::string& bytes, const std::string& whole) {
  if (!bytes.empty() && !bytes.ends_with("\n")) {
    return false;
  }
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find('\n', at) + 1;
    if (("\n" + whole).find("\n" + bytes.substr(at, end - at)) == std::string::npos) {
      return false;
    }
    at = end;
  }
  return true;
}

// A settings file whose every line is an entry of the old file or of the
// new one: whole, though saved half way through an operation.
bool EveryLineOldOrNew(const std::string&, const std::string& bytes, const std::string& old_bytes,
                       const std::string& new_bytes) {
  if (!bytes.ends_with("\r\n")) {
    return false;
  }
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at) + 2;
    const std::string line = bytes.substr(at, end - at);
    if (("\r\n" + old_bytes).find("\n" + line) == std::string::npos &&
        ("\r\n" + new_bytes).find("\n" + line) == std::string::npos) {
      return false;
    }
    at = end;
  }
  return true;
}

// An operation on the Sample, once `before` (when given) has changed it.
WriteOperation SampleOperation(const std::string& name, std::function<void(TestEnv&)> before) {
  WriteOperation op;
  op.name = name;
  op.prepare = [before](TestEnv& t) {
    PrepareSample(t);
    if (before) {
      before(t);
    }
  };
  return op;
}

// A pagorin subcommand of the site tools, run in the engine.
// Questions are answered Yes, as --yes does.
WriteOperation Tool(const std::string& name, const char* tool, std::vector<std::string> args,
                    std::function<void(TestEnv&)> before = {}) {
  WriteOperation op = SampleOperation(name, std::move(before));
  op.start = [tool, args](TestEnv& t) {
    auto engine = std::make_shared<Engine>(t.env);
    std::vector<std::string> line_args{t.Path(kProject)};
    line_args.insert(line_args.end(), args.begin(), args.end());
    return std::function<RunResult()>([&t, engine, tool, line_args] {
      const std::vector<ToolCommand>& commands = ToolCommands();
      const ToolCommand& command =
          *std::find_if(commands.begin(), commands.end(),
                        [tool](const ToolCommand& c) { return std::string_view(c.name) == tool; });
      t.ui.messages.clear();
      t.ui.QueueAnswer(Answer::kYes);
      return Result(t, RunTool(*engine, command, ParseToolLine(command, line_args)) == 0);
    });
  };
  return op;
}

// A replace keeps the old bytes of each file under "Replace undo/" and
// notes each file in a list as it goes: a failed run leaves the list of the
// files it came to, and the run after it keeps its own in a folder of its
// own (Undo takes back the newest run, then the one before).
WriteOperation Replace(const std::string& name, std::vector<std::string> args,
                       std::function<void(TestEnv&)> before = {}) {
  WriteOperation op = Tool(name, "replace", std::move(args), std::move(before));
  op.also_whole = [](const std::string& path, const std::string& bytes, const std::string&,
                     const std::string& new_bytes) {
    return path.ends_with("/files.txt") && LinesOf(bytes, new_bytes);
  };
  op.may_differ_after_retry = [](const std::string& path) {
    return path.starts_with("Sample/Replace undo/");
  };
  return op;
}

// Operations that open the Sample and call one engine procedure.
WriteOperation OnSample(const std::string& name, std::function<void(TestEnv&)> before,
                        std::function<bool(TestEnv&, Engine&)> run) {
  WriteOperation op = SampleOperation(name, std::move(before));
  op.start = [run](TestEnv& t) {
    std::shared_ptr<Engine> engine = OpenSample(t);
    return std::function<RunResult()>([&t, engine, run] {
      t.ui.messages.clear();
      return Result(t, run(t, *engine));
    });
  };
  return op;
}

// Changes every page: the footer every template includes.
void EditFooter(TestEnv& t) {
  t.WriteFile(t.Path("Sample/Includes/footer.inc"), "<p>A footer of today</p>\r\n");
}

std::vector<WriteOperation> Operations() {
  std::vector<WriteOperation> ops;
  {
    WriteOperation settings;
    settings.name = "program settings save";
    settings.prepare = [](TestEnv& t) {
      t.WriteFile(t.paths.data_dir + "Pagorin.ini", "LASTLOADED,old.pgx\r\nPROXYTYPE,0\r\n");
    };
    settings.start = [](TestEnv& t) {
      auto store = std::make_shared<cSHAREDSettings>(t.env);
      store->LoadSettings(t.paths.data_dir + "Pagorin.ini");
      store->StoreSetting("LastLoaded", std::string("new.pgx"));
      return std::function<RunResult()>([&t, store] {
        t.ui.messages.clear();
        return Result(t, store->SaveSettings(t.paths.data_dir + "Pagorin.ini"));
      });
    };
    ops.push_back(settings);
  }
  ops.push_back(OnSample("project save", {}, [](TestEnv&, Engine& engine) {
    engine.texts.txtTitle = "A new title";
    return SaveProject(engine);
  }));
  ops.push_back(OnSample("build", EditFooter,
                         [](TestEnv&, Engine& engine) { return BuildPages(engine, false); }));
  ops.push_back(OnSample(
      "news lists",
      [](TestEnv& t) {
        t.WriteFile(t.Path("Sample/Includes/content_news0003.inc"),
                    "<!--NewsTitle-->Renamed<!--/NewsTitle-->");
      },
      [](TestEnv& t, Engine& engine) {
        const std::string failed =
            GenerateNewsSummaries(t.env, engine.ProjectSettings, t.Path(kSite));
        if (!failed.empty()) {
          static_cast<UserInterface&>(t.ui).ShowMessage(failed);
        }
        return failed.empty();
      }));
  {
    WriteOperation news;
    news.name = "news item";
    news.prepare = PrepareSample;
    // A failed item still keeps the list definitions, tags and number in
    // the project, for Generate to be pressed again.
    news.also_whole = EveryLineOldOrNew;
    news.start = [](TestEnv& t) {
      auto engine = std::make_shared<Engine>(t.env);
      return std::function<RunResult()>([&t, engine] {
        t.ui.messages.clear();
        NewsAddLine line;
        line.project = t.Path(kProject);
        line.title = "Written at a failure";
        line.story = "Every file of the item, or none.";
        line.tags = "tests";
        return Result(t, NewsAdd(*engine, line) == 0);
      });
    };
    ops.push_back(news);
  }
  ops.push_back(OnSample(
      "version includes",
      [](TestEnv& t) {
        t.WriteFile(t.Path("Sample/releases/current.txt"), "3.1.4\r\nhttps://example.com/@@@\r\n");
        t.Touch(t.Path("Sample/releases/current.txt"),
                std::chrono::system_clock::now() + std::chrono::hours(1));
      },
      [](TestEnv&, Engine& engine) { return WriteVersionIncludes(engine); }));
  ops.push_back(OnSample("editor save", {}, [](TestEnv& t, Engine&) {
    return SaveEditorFile(t.env, t.Path("Sample/Templates/about.template"),
                          U"<p>Edited \u00e9</p>\n", Charset::kUtf8, true);
  }));
  ops.push_back(Replace("replace", {"--search", "Kestrel", "--with", "Osprey"}));
  ops.push_back(Replace("wildcard replace",
                        {"--search", "<h1>*</h1>", "--with", "<h2>*</h2>", "--wildcard"}));
  ops.push_back(Replace("replace undo", {"--undo"}, [](TestEnv& t) {
    Engine engine(t.env);
    const std::vector<ToolCommand>& commands = ToolCommands();
    const ToolCommand& replace = *std::find_if(commands.begin(), commands.end(), [](auto& c) {
      return std::string_view(c.name) == "replace";
    });
    ASSERT_EQ(0, RunTool(engine, replace,
                         ParseToolLine(replace, {t.Path(kProject), "--search", "Kestrel", "--with",
                                                 "Osprey"})));
  }));
  ops.push_back(Tool("META set", "keywords", {"news0003.template", "--set"}));
  ops.push_back(
      Tool("META set and rename", "keywords", {"news0003.template", "--set", "--rename"}));
  ops.push_back(Tool("tidy-meta", "tidy-meta", {"--yes"}, [](TestEnv& t) {
    t.WriteFile(t.Path("Sample/Includes/header.inc"),
                "<head><meta name=\"keywords\" content=\"a, b, c\"></head>");
  }));
  ops.push_back(Tool("link titles", "link-titles", {}));
  {
    WriteOperation copies = Tool("copy and renumber", "copy-renumber", {"--yes"}, [](TestEnv& t) {
      t.WriteFile(t.Path("Sample/@@@.template"), "[include=content_@@@.inc] page @@@");
      t.WriteFile(t.Path("Sample/content_@@@.inc"), "content @@@");
    });
    // 80 copies of five writes each: the first eight copies' writes fail one
    // by one, then every 7th, which meets each of the five in turn.
    copies.every_write = 40;
    copies.stride = 7;
    ops.push_back(copies);
  }
  {
    WriteOperation download;
    download.name = "update download";
    download.prepare = [](TestEnv& t) {
      t.WriteFile(t.Path("downloads/PagorinUpd.tar.gz"), "old");
    };
    download.start = [](TestEnv& t) {
      t.net.ScriptHttp("https://up.example/p.tar.gz", {std::string(30'000, 'r')});
      auto settings = std::make_shared<cSHAREDSettings>(t.env);
      auto updater = std::make_shared<Updater>(t.env, *settings);
      return std::function<RunResult()>([settings, updater, &t] {
        const bool ok = updater->DownloadFile(t.Path("downloads/"), "PagorinUpd.tar.gz",
                                              "https://up.example/p.tar.gz");
        return RunResult{ok, ok ? "" : updater->view().lblStatus};
      });
    };
    ops.push_back(download);
  }
  {
    WriteOperation record;
    record.name = "changed-only upload record";
    record.prepare = [](TestEnv& t) {
      UploadRecord old(t.env, t.Path("site.pgx.uploads"), "ftp.example /www");
      old.Sent("index.html", "old index");
      old.Sent("gone.html", "gone");
      ASSERT_TRUE(old.Save());
    };
    // The lines of the files that arrived, appended to the old record.
    record.also_whole = [](const std::string&, const std::string& bytes,
                           const std::string& old_bytes, const std::string& new_bytes) {
      if (!bytes.starts_with(old_bytes) || !bytes.ends_with("\n")) {
        return false;
      }
      for (std::size_t at = old_bytes.size(); at < bytes.size();) {
        const std::size_t end = bytes.find('\n', at) + 1;
        if (new_bytes.find(bytes.substr(at, end - at)) == std::string::npos) {
          return false;
        }
        at = end;
      }
      return true;
    };
    record.start = [](TestEnv& t) {
      auto uploads =
          std::make_shared<UploadRecord>(t.env, t.Path("site.pgx.uploads"), "ftp.example /www");
      return std::function<RunResult()>([&t, uploads] {
        uploads->Sent("index.html", "new index");
        uploads->Sent("about.html", "about");
        const bool ok = uploads->Save();
        return RunResult{ok, ok ? "" : RingMessages(t.log)};
      });
    };
    ops.push_back(record);
  }
  return ops;
}

class WriteFailures : public ::testing::TestWithParam<WriteOperation> {};

TEST_P(WriteFailures, EveryWriteFailingInTurnLosesNothing) {
  const WriteOperation& op = GetParam();
  // The settings store treats a full disk and a refusal each in a way of
  // its own; elsewhere a failure is a failure.
  std::vector<FsError> errors{FsError::kOther};
  if (op.name.ends_with("save")) {
    errors = {FsError::kOther, FsError::kDiskFull, FsError::kAccessDenied};
  }
  for (const FsError error : errors) {
    const auto started = std::chrono::steady_clock::now();
    TestEnv t;
    const WriteFailureFigures figures = FailEveryWriteInTurn(t, op, error);
    std::printf(
        "[ figures  ] %s, error %d: %d writes failed in turn, %zu distinct messages, %.1f s\n",
        op.name.c_str(), ErrorNumber(error), figures.iterations, figures.messages.size(),
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    EXPECT_GT(figures.iterations, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, WriteFailures, ::testing::ValuesIn(Operations()),
                         [](const ::testing::TestParamInfo<WriteOperation>& param_info) {
                           std::string name;
                           for (const char c : param_info.param.name) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace pagorin::testing
