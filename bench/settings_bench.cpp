// Times loading and saving a settings file of many entries (30,000 by
// default, and 3,000 and 300,000 to show how the cost grows).
//
//   settings_bench [--benchmark_filter=...]
//
// The file is written in shuffled order, so that loading has to sort it;
// saving goes through the atomic replacement, flush to disk included.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/clock.h"
#include "shared/curl_network.h"
#include "shared/env.h"
#include "shared/headless_ui.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/progress.h"
#include "shared/real_file_system.h"
#include "shared/settings.h"

namespace {

// The engine's services on a temporary folder that goes when it goes.
class BenchEnv {
 public:
  BenchEnv()
      : folder_(MakeFolder()),
        paths_{folder_, folder_, "settings_bench", "", ""},
        log_(fs_, clock_, paths_),
        locale_(log_),
        progress_(clock_, ui_),
        env_{fs_, clock_, ui_, log_, locale_, progress_, paths_, net_} {}
  ~BenchEnv() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  BenchEnv(const BenchEnv&) = delete;
  BenchEnv& operator=(const BenchEnv&) = delete;

  pagorin::Env& env() { return env_; }
  std::string Path(const std::string& name) const { return folder_ + name; }

 private:
  static std::string MakeFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pagorin-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern + "/";
  }

  std::string folder_;
  pagorin::ProgramPaths paths_;
  pagorin::RealFileSystem fs_;
  pagorin::SystemClock clock_;
  pagorin::HeadlessUi ui_;
  pagorin::Log log_;
  pagorin::LocaleFacts locale_;
  pagorin::ProgressIndicator progress_;
  pagorin::CurlNetwork net_;
  pagorin::Env env_;
};

// `count` lines of the kinds a project file holds, in shuffled order.
std::string SettingsFileText(int count) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 3) {
      case 0:
        lines.push_back("EXT_PAGE" + n + ",.html\r\n");
        break;
      case 1:
        lines.push_back("TAGS_" + n + ",Release notes for version " + n + "\r\n");
        break;
      default:
        lines.push_back("SHOWINLIST" + n + ",True\r\n");
        break;
    }
  }
  std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
  std::string text;
  for (const std::string& line : lines) {
    text += line;
  }
  return text;
}

void BM_LoadSettings(benchmark::State& state) {
  BenchEnv bench;
  const std::string path = bench.Path("site.pgx");
  pagorin::WriteWholeFile(bench.env().fs, path, SettingsFileText(static_cast<int>(state.range(0))));
  pagorin::cSHAREDSettings store(bench.env());
  for (auto _ : state) {
    store.LoadSettings(path);
    benchmark::DoNotOptimize(store.SettingsCount());
  }
  if (store.SettingsCount() != state.range(0)) {
    state.SkipWithError("the store does not hold every line");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveSettings(benchmark::State& state) {
  BenchEnv bench;
  const std::string path = bench.Path("site.pgx");
  pagorin::WriteWholeFile(bench.env().fs, path, SettingsFileText(static_cast<int>(state.range(0))));
  pagorin::cSHAREDSettings store(bench.env());
  store.LoadSettings(path);
  for (auto _ : state) {
    store.SaveSettings(path);
  }
  if (!bench.env().log.RingText().empty()) {
    state.SkipWithError("a save failed");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_LoadSettings)->Arg(3000)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSettings)->Arg(3000)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
