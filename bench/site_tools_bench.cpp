// Times the site tools over a folder of generated include files: Search and
// Replace in plain and in wildcard mode, and Add Titles to Links.
//
//   site_tools_bench [--runs R] [--settle S] WORK_FOLDER FILES:MATCHES...
//
// For each FILES:MATCHES and each timed run a site is written into
// WORK_FOLDER: FILES include files of about 12 KB, each holding MATCHES bold
// runs, the word "tide" MATCHES times and MATCHES text links, so every run
// changes every file. After S seconds (65 by default) the runs are timed.
// One line per size goes to standard output: files, matches, then for plain
// replace, wildcard replace and link titles the best wall-clock seconds and
// the best processor seconds of R runs, tab-separated. The sites are deleted at the end. The exit
// status is non-zero when a run logged a failure or changed fewer files than it should.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/engine.h"
#include "app/program_services.h"
#include "app/project.h"
#include "shared/headless_ui.h"
#include "shared/log.h"
#include "tools/link_titles.h"
#include "tools/search_replace.h"

namespace {

constexpr std::size_t kFileSize = 12 * 1024;

// One include file: MATCHES paragraphs with a bold run, the word "tide" and
// a link, then filler text up to about 12 KB.
std::string IncludeText(int number, int matches) {
  std::string text = "<div class=\"content\">\r\n";
  for (int m = 0; m < matches; ++m) {
    text += "<p>Paragraph " + std::to_string(m) + " of page " + std::to_string(number) +
            ": the <b>high tide " + std::to_string(m) + "</b> comes in; see <a href=\"page" +
            std::to_string(m) + ".html\">Tide table &amp; times " + std::to_string(m) +
            "</a>.</p>\r\n";
  }
  const std::string filler =
      "<p>Shore walkers read the bay by its colours, the sand flats by their shine and the "
      "channels by the birds that follow them out.</p>\r\n";
  while (text.size() + filler.size() < kFileSize) {
    text += filler;
  }
  return text + "</div>\r\n";
}

void WriteSite(const std::string& folder, int files, int matches) {
  std::filesystem::create_directories(folder + "Includes");
  std::filesystem::create_directories(folder + "Templates");
  for (int n = 0; n < files; ++n) {
    std::FILE* file =
        std::fopen((folder + "Includes/page" + std::to_string(n) + ".inc").c_str(), "wb");
    const std::string text = IncludeText(n, matches);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  std::FILE* project = std::fopen((folder + "site.pgx").c_str(), "wb");
  std::fputs("PROJECTPATH,./\r\n", project);
  std::fclose(project);
}

struct Tool {
  const char* name;
  std::function<int(pagorin::Engine&, const std::string& site)> run;
};

struct Seconds {
  double wall = 0;
  double processor = 0;  // user and system time of this process
};

// The time `tool` takes on the site in `site`, which must be untouched;
// `*all_changed` turns false when it changed fewer than `files` files or
// logged a failure.
Seconds Time(const Tool& tool, const std::string& site, int files, bool* all_changed) {
  pagorin::HeadlessUi ui;
  pagorin::ProgramServices services(ui, std::nullopt);
  pagorin::Engine engine(services.env());
  engine.ProjectFile = site + "site.pgx";
  pagorin::LoadProjectFile(engine, engine.ProjectFile);
  const std::clock_t processor_start = std::clock();
  const auto start = std::chrono::steady_clock::now();
  const int changed = tool.run(engine, site);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const double processor = double(std::clock() - processor_start) / CLOCKS_PER_SEC;
  *all_changed = *all_changed && changed == files && engine.env.log.RingText().empty();
  return {took.count(), processor};
}

int Replace(pagorin::Engine& engine, const std::string& site, const std::string& search,
            const std::string& replacement, bool wildcard) {
  const pagorin::ReplaceRun run =
      pagorin::cmdGo(engine, {search, replacement, site + "Includes/", wildcard, false},
                     [](const std::string&) {});
  return static_cast<int>(run.changed.size());
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  int settle = 65;
  std::string folder;
  std::vector<std::pair<int, int>> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const std::size_t colon = argument.find(':');
    if (argument == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (argument == "--settle" && i + 1 < argc) {
      settle = std::max(0, std::atoi(argv[++i]));
    } else if (folder.empty()) {
      folder = std::filesystem::absolute(argument).string() + "/";
    } else if (colon != std::string::npos) {
      sizes.emplace_back(std::atoi(argument.c_str()), std::atoi(argument.c_str() + colon + 1));
    }
  }
  if (folder.empty() || sizes.empty()) {
    std::fprintf(stderr,
                 "usage: site_tools_bench [--runs R] [--settle S] WORK_FOLDER FILES:MATCHES...\n");
    return 2;
  }
  // The program's own files (log, settings) stay inside the work folder.
  setenv("XDG_CONFIG_HOME", (folder + "config").c_str(), 1);
  const Tool tools[] = {
      {"plain", [](pagorin::Engine& e,
                   const std::string& site) { return Replace(e, site, "tide", "wave", false); }},
      {"wildcard",
       [](pagorin::Engine& e, const std::string& site) {
         return Replace(e, site, "<b>*</b>", "<strong>*</strong>", true);
       }},
      {"titles", [](pagorin::Engine& e,
                    const std::string&) { return pagorin::mnuAddTitlesToLinks(e).rewritten; }},
  };
  // Every site is written before anything is timed, and nothing is deleted
  // until the end: ext4 makes new files slowly for a while after many were
  // deleted, and every tool run makes a new file for each file it replaces.
  auto site_of = [&](int files, int matches, int run, const Tool& tool) {
    return folder + std::to_string(files) + "x" + std::to_string(matches) + "/" + tool.name + "-" +
           std::to_string(run) + "/";
  };
  for (const auto& [files, matches] : sizes) {
    for (int run = 0; run < runs; ++run) {
      for (const Tool& tool : tools) {
        WriteSite(site_of(files, matches, run, tool), files, matches);
      }
    }
  }
  std::this_thread::sleep_for(std::chrono::seconds(settle));
  bool all_changed = true;
  for (const auto& [files, matches] : sizes) {
    std::printf("%d\t%d", files, matches);
    for (const Tool& tool : tools) {
      Seconds best{1e9, 1e9};
      for (int run = 0; run < runs; ++run) {
        const Seconds took = Time(tool, site_of(files, matches, run, tool), files, &all_changed);
        best = {std::min(best.wall, took.wall), std::min(best.processor, took.processor)};
      }
      std::printf("\t%.3f\t%.3f", best.wall, best.processor);
    }
    std::printf("\n");
    std::fflush(stdout);
  }
  for (const auto& [files, matches] : sizes) {
    std::filesystem::remove_all(folder + std::to_string(files) + "x" + std::to_string(matches));
  }
  if (!all_changed) {
    std::fprintf(stderr, "site_tools_bench: a run failed or left files unchanged\n");
  }
  return all_changed ? 0 : 1;
}
