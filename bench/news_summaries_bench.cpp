// Times GenerateNewsSummaries on sites written by bench/gen_site.py.
//
//   news_summaries_bench [--runs R] SITE_FOLDER...
//
// Each folder holds site.pgx and the news items. After one untimed run (which
// also warms the disk cache), the lists are generated R more times; one line
// per folder goes to standard output: the folder, the best and the median
// seconds, tab-separated. The exit status is non-zero when a folder has no
// project file or a run logged a failure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "news/news_summaries.h"
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

struct Timing {
  double best = 0;
  double median = 0;
};

// Returns false, with nothing timed, when the folder has no project file.
bool TimeOneSite(pagorin::Env& env, const std::string& site, int runs, Timing* timing) {
  const std::string folder = site.ends_with('/') ? site : site + "/";
  if (!env.fs.Stat(folder + "site.pgx").exists) {
    std::fprintf(stderr, "news_summaries_bench: no site.pgx in %s\n", folder.c_str());
    return false;
  }
  pagorin::cSHAREDSettings project(env);
  project.LoadSettings(folder + "site.pgx");

  std::vector<double> seconds;
  for (int run = 0; run <= runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    pagorin::GenerateNewsSummaries(env, project, folder);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (run > 0) {
      seconds.push_back(took.count());
    }
  }
  std::sort(seconds.begin(), seconds.end());
  timing->best = seconds.front();
  timing->median = seconds[seconds.size() / 2];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::vector<std::string> sites;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      sites.push_back(argument);
    }
  }
  if (sites.empty()) {
    std::fprintf(stderr, "usage: news_summaries_bench [--runs R] SITE_FOLDER...\n");
    return 2;
  }

  // The log goes beside the first site, never into the user's own folders.
  const std::string first = sites.front().ends_with('/') ? sites.front() : sites.front() + "/";
  const pagorin::ProgramPaths paths{first, first, "news_summaries_bench", "", ""};
  pagorin::RealFileSystem fs;
  pagorin::SystemClock clock;
  pagorin::HeadlessUi ui;
  pagorin::Log log(fs, clock, paths);
  pagorin::LocaleFacts locale(log);
  pagorin::ProgressIndicator progress(clock, ui);
  pagorin::CurlNetwork net;
  pagorin::Env env{fs, clock, ui, log, locale, progress, paths, net};

  bool all_clean = true;
  for (const std::string& site : sites) {
    Timing timing;
    if (!TimeOneSite(env, site, runs, &timing)) {
      all_clean = false;
      continue;
    }
    std::printf("%s\t%.6f\t%.6f\n", site.c_str(), timing.best, timing.median);
  }
  if (!env.log.RingText().empty()) {
    std::fprintf(stderr, "news_summaries_bench: failures were logged:\n%s\n",
                 env.log.RingText().c_str());
    all_clean = false;
  }
  return all_clean ? 0 : 1;
}
