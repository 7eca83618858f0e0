// The site check: every generated page of the open project read with an HTML
// parser, for what a visitor would find broken — links and files that are
// not in the site folder, pages without a title, META descriptions shared by
// pages, links left open, and include, definition or variable texts the
// build left in the page.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

struct Engine;

// In the order the report lists them.
enum class CheckKind {
  kMissingPage,        // a template whose page is not in the site folder
  kMissingLink,        // <a href> to a file that is not there
  kMissingFile,        // <img src>, <script src>, <link href>
  kNoTitle,            // no <title>, or a blank one
  kSharedDescription,  // a META description another page has too
  kUnclosedLink,       // an <a> without its </a>
  kUnexpanded,         // "[include=", "[var" or "[Name]" left in the page
};

struct CheckFinding {
  CheckKind kind;
  std::string page;  // file name in the site folder
  int line = 0;      // 1-based line of the page
  std::string text;  // what was found, as the report shows it
};

struct CheckReport {
  int pages = 0;  // pages read
  std::vector<CheckFinding> findings;

  bool broken() const { return !findings.empty(); }
};

// Checks the pages of the templates in the engine's list (FillList has run).
// Pages with a data extension (.xml, .rss, .txt, .css, .js, .json) are not
// HTML and are only checked for being there.
CheckReport CheckSite(Engine& engine);

// The report for a person: a summary line, then each kind that has findings
// under its heading, one "  PAGE:LINE: TEXT" line per finding.
std::string CheckReportText(const CheckReport& report);
// The same for scripts: {"pages":N,"problems":M,"findings":[{"kind":...,
// "file":...,"line":N,"text":...},...]}, on one line.
std::string CheckReportJson(const CheckReport& report);

// The project key CheckAfterBuild: whether a build ends with a check.
bool CheckAfterBuildWanted(const Engine& engine);

}  // namespace pagorin
