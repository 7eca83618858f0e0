#include "tools/site_check.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/file_system.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::array<std::string_view, 6> kDataExtensions = {".xml", ".rss", ".txt",
                                                             ".css", ".js",  ".json"};

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsNameChar(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  c = ToLowerAscii(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "%20" and the like decoded; a broken escape stays as written.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The file a reference names inside the site, relative to the site folder;
// empty for a reference to elsewhere ("http:", "mailto:", "//host") or to
// the page itself ("#top", "?q").
std::string LocalTarget(std::string_view reference) {
  reference = TrimView(reference);
  reference = reference.substr(0, reference.find_first_of("#?"));
  if (reference.empty() || reference.starts_with("//")) {
    return {};
  }
  const std::size_t colon = reference.find(':');
  if (colon != std::string_view::npos && reference.find('/') > colon) {
    return {};  // a scheme: http:, https:, mailto:, javascript:, data:, ...
  }
  while (reference.starts_with("/")) {
    reference.remove_prefix(1);
  }
  return PercentDecoded(reference);
}

// Pages as they are: no network, no messages, no elements the page does not
// hold (implied <html>, <body>, <p>) and no default document type.
constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                              HTML_PARSE_NONET | HTML_PARSE_NOIMPLIED | HTML_PARSE_NODEFDTD;

// What one page gave: its findings, and its META descriptions with their
// lines, which are compared across pages once every page is read.
struct PageResult {
  std::vector<CheckFinding> findings;
  std::vector<std::pair<std::string, int>> descriptions;
};

// One page read by the parser: its callbacks collect the findings. `exists`
// remembers which files of the site are there (by their names relative to
// the site folder), for the pages one thread reads.
class PageReader {
 public:
  PageReader(std::string page, const std::string& site_folder, FileSystem& fs,
             std::unordered_map<std::string, bool>& exists, PageResult& result)
      : page_(std::move(page)),
        site_folder_(site_folder),
        fs_(fs),
        exists_(exists),
        result_(result) {}

  // The parser's callbacks for the reader that a context's _private names.
  static void UseCallbacks(xmlSAXHandler& sax) {
    sax.startElement = &PageReader::OnStart;
    sax.endElement = &PageReader::OnEnd;
    sax.characters = &PageReader::OnText;
  }

  // Parses `text` with `ctxt`, whose callbacks UseCallbacks set.
  void Read(htmlParserCtxtPtr ctxt, const std::string& text) {
    if (ctxt == nullptr) {
      return;  // no memory for a parser
    }
    ctxt->_private = this;
    ctxt_ = ctxt;
    xmlDocPtr doc = htmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), nullptr,
                                       nullptr, kParseOptions);
    if (doc != nullptr) {
      xmlFreeDoc(doc);
    }
    ctxt_ = nullptr;
    FlushText();
    if (!title_seen_) {
      Add(CheckKind::kNoTitle, 1, "no title");
    }
  }

 private:
  static PageReader& Of(void* context) {
    return *static_cast<PageReader*>(static_cast<htmlParserCtxtPtr>(context)->_private);
  }
  int Line() const { return ctxt_->input != nullptr ? ctxt_->input->line : 0; }

  void Add(CheckKind kind, int line, std::string text) {
    result_.findings.push_back({kind, page_, line, std::move(text)});
  }

  static void OnStart(void* context, const xmlChar* name, const xmlChar** attributes) {
    PageReader& reader = Of(context);
    reader.FlushText();
    const std::string_view tag(reinterpret_cast<const char*>(name));
    const int line = reader.Line();
    std::string_view href, src, rel, meta_name, content;
    bool has_href = false, has_content = false;
    for (const xmlChar** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
      const std::string_view key(reinterpret_cast<const char*>(a[0]));
      const std::string_view value =
          a[1] != nullptr ? std::string_view(reinterpret_cast<const char*>(a[1])) : "";
      if (key == "href") {
        href = value;
        has_href = true;
      } else if (key == "src") {
        src = value;
      } else if (key == "rel") {
        rel = value;
      } else if (key == "name") {
        meta_name = value;
      } else if (key == "content") {
        content = value;
        has_content = true;
      }
      reader.FindUnexpanded(value, line, false);
    }
    if (tag == "a") {
      if (has_href) {
        reader.CheckTarget(CheckKind::kMissingLink, href, line);
      }
      if (reader.link_line_ == 0) {
        reader.link_line_ = line;
        reader.link_href_ = href;
      }
    } else if (tag == "img" || tag == "script") {
      reader.CheckTarget(CheckKind::kMissingFile, src, line);
    } else if (tag == "link" && FindNoCase(rel, "stylesheet") != std::string_view::npos) {
      reader.CheckTarget(CheckKind::kMissingFile, href, line);
    } else if (tag == "title") {
      reader.in_title_ = true;
    } else if (tag == "meta" && EqualsNoCase(meta_name, "description") && has_content) {
      reader.Describe(std::string(TrimView(content)), line);
    }
  }

  static void OnEnd(void* context, const xmlChar* name) {
    PageReader& reader = Of(context);
    reader.FlushText();
    const std::string_view tag(reinterpret_cast<const char*>(name));
    if (tag == "title") {
      reader.in_title_ = false;
    } else if (tag == "a" && reader.link_line_ != 0) {
      if (!reader.ClosedByEndTag()) {
        reader.Add(CheckKind::kUnclosedLink, reader.link_line_,
                   "<a href=\"" + reader.link_href_ + "\">");
      }
      reader.link_line_ = 0;
    }
  }

  static void OnText(void* context, const xmlChar* text, int length) {
    PageReader& reader = Of(context);
    const std::string_view part(reinterpret_cast<const char*>(text),
                                static_cast<std::size_t>(length));
    if (reader.text_.empty()) {
      // The parser has read the part already: its first line is as many
      // lines back as it holds line ends.
      reader.text_line_ =
          reader.Line() - static_cast<int>(std::count(part.begin(), part.end(), '\n'));
    }
    reader.text_.append(part);
    if (reader.in_title_ && !TrimView(part).empty()) {
      reader.title_seen_ = true;
    }
  }

  // The element the parser just ended was ended by "</a>" in the page, not
  // implied by the next <a> or the end of the page.
  bool ClosedByEndTag() const {
    const xmlParserInputPtr input = ctxt_->input;
    if (input == nullptr || input->cur == nullptr) {
      return false;
    }
    std::string_view before(reinterpret_cast<const char*>(input->base),
                            static_cast<std::size_t>(input->cur - input->base));
    if (!before.ends_with(">")) {
      return false;
    }
    before.remove_suffix(1);
    before = before.substr(0, before.find_last_not_of(" \t\r\n") + 1);
    return before.size() >= 3 && EqualsNoCase(before.substr(before.size() - 3), "</a");
  }

  void FlushText() {
    if (!text_.empty()) {
      FindUnexpanded(text_, text_line_, true);
      text_.clear();
    }
  }

  // "[include=" and "[var" anywhere; "[Name]" — a letter, then letters,
  // digits, "_" or "-", at most 40 — only in page text, where the build
  // would have put a variable's value, and not right after a word or a
  // closing bracket, where it reads as an index ("a[i]", "m[key]").
  void FindUnexpanded(std::string_view text, int line, bool names_too) {
    std::size_t counted = 0;
    for (std::size_t open = text.find('['); open != std::string_view::npos;
         open = text.find('[', open + 1)) {
      std::size_t end = 0;
      if (StartsWithNoCase(text.substr(open), "[include=") ||
          StartsWithNoCase(text.substr(open), "[var ")) {
        end = text.find(']', open);
        end = end == std::string_view::npos ? text.size() : end + 1;
        end = std::min({end, open + 60, text.find('\n', open)});
      } else if (names_too && open + 1 < text.size() && IsLetter(text[open + 1]) &&
                 (open == 0 || !(IsNameChar(text[open - 1]) || text[open - 1] == ']' ||
                                 text[open - 1] == ')'))) {
        std::size_t close = open + 2;
        while (close < text.size() && close - open <= 41 && IsNameChar(text[close])) {
          ++close;
        }
        if (close < text.size() && text[close] == ']' && close - open <= 41) {
          end = close + 1;
        }
      }
      if (end != 0) {
        line += static_cast<int>(std::count(text.begin() + counted, text.begin() + open, '\n'));
        counted = open;
        Add(CheckKind::kUnexpanded, line, std::string(text.substr(open, end - open)));
      }
    }
  }

  void CheckTarget(CheckKind kind, std::string_view reference, int line) {
    const std::string target = LocalTarget(reference);
    if (target.empty()) {
      return;
    }
    auto [known, added] = exists_.try_emplace(target, false);
    if (added) {
      known->second =
          fs_.Stat(std::filesystem::path(site_folder_ + target).lexically_normal().string()).exists;
    }
    if (!known->second) {
      Add(kind, line, std::string(TrimView(reference)));
    }
  }

  void Describe(std::string description, int line) {
    if (!description.empty()) {
      result_.descriptions.emplace_back(std::move(description), line);
    }
  }

  std::string page_;
  const std::string& site_folder_;
  FileSystem& fs_;
  std::unordered_map<std::string, bool>& exists_;
  PageResult& result_;
  htmlParserCtxtPtr ctxt_ = nullptr;
  bool in_title_ = false;
  bool title_seen_ = false;
  int link_line_ = 0;  // the open <a>'s line; 0 when none is open
  std::string link_href_;
  std::string text_;  // text read since the last tag
  int text_line_ = 0;
};

// A parser context that reports only what PageReader reads, made once per
// thread and used for page after page: the parser's name dictionary and
// buffers are then made once, not once per page.
struct PageParser {
  PageParser() : ctxt(htmlNewParserCtxt()) {
    if (ctxt != nullptr) {
      xmlSAXHandler* sax = ctxt->sax;
      std::memset(sax, 0, sizeof(*sax));
      sax->initialized = 1;
      PageReader::UseCallbacks(*sax);
    }
  }
  ~PageParser() {
    if (ctxt != nullptr) {
      htmlFreeParserCtxt(ctxt);
    }
  }
  PageParser(const PageParser&) = delete;
  PageParser& operator=(const PageParser&) = delete;

  htmlParserCtxtPtr ctxt;
};

struct KindNames {
  CheckKind kind;
  const char* heading;
  const char* json;
};

constexpr KindNames kKinds[] = {
    {CheckKind::kMissingPage, "Pages not built", "missing-page"},
    {CheckKind::kMissingLink, "Links to missing files", "missing-link"},
    {CheckKind::kMissingFile, "Missing images, scripts and style sheets", "missing-file"},
    {CheckKind::kNoTitle, "Pages without a title", "no-title"},
    {CheckKind::kSharedDescription, "Descriptions shared with another page", "shared-description"},
    {CheckKind::kUnclosedLink, "Links without </a>", "unclosed-link"},
    {CheckKind::kUnexpanded, "Text the build left unexpanded", "unexpanded"},
};

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string ProblemCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " problem" : " problems");
}

}  // namespace

CheckReport CheckSite(Engine& engine) {
  const std::vector<TemplateEntry>& entries = engine.ListView1.entries();
  const std::string site_folder = GetProjectPath(engine);
  FileSystem& fs = engine.env.fs;
  std::vector<std::string> paths, pages;
  for (const TemplateEntry& entry : entries) {
    paths.push_back(BuildWebFilename(engine, entry.tag));
    pages.push_back(std::filesystem::path(paths.back()).filename().string());
  }
  std::vector<PageResult> results(entries.size());
  std::vector<char> parsed(entries.size(), 0);
  // Pages are read on as many threads as there are cores (when the file
  // system allows it), each taking the next page not taken yet; the results
  // are put together in list order afterwards.
  std::atomic<std::size_t> next{0};
  const auto read_pages = [&] {
    std::unordered_map<std::string, bool> exists;
    std::string text;
    PageParser parser;
    for (std::size_t i = next++; i < entries.size(); i = next++) {
      if (!fs.ReadFile(paths[i], &text).ok()) {
        results[i].findings.push_back(
            {CheckKind::kMissingPage, pages[i], 0, "from " + entries[i].tag});
        continue;
      }
      const std::string lower = LCase(pages[i]);
      if (std::none_of(kDataExtensions.begin(), kDataExtensions.end(),
                       [&](std::string_view ext) { return lower.ends_with(ext); })) {
        parsed[i] = 1;
        PageReader(pages[i], site_folder, fs, exists, results[i]).Read(parser.ctxt, text);
      }
    }
  };
  xmlInitParser();
  const unsigned threads =
      fs.ThreadSafe() ? std::clamp(std::thread::hardware_concurrency(), 1u, 8u) : 1u;
  std::vector<std::thread> helpers;
  for (unsigned i = 1; i < threads; ++i) {
    helpers.emplace_back(read_pages);
  }
  read_pages();
  for (std::thread& helper : helpers) {
    helper.join();
  }

  CheckReport report;
  std::unordered_map<std::string, std::pair<std::string, int>> first_with;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    report.pages += parsed[i];
    for (CheckFinding& finding : results[i].findings) {
      report.findings.push_back(std::move(finding));
    }
    for (const auto& [description, line] : results[i].descriptions) {
      auto [first, added] = first_with.try_emplace(description, pages[i], line);
      if (!added) {
        report.findings.push_back({CheckKind::kSharedDescription, pages[i], line,
                                   "\"" + description + "\" as in " + first->second.first + ":" +
                                       std::to_string(first->second.second)});
      }
    }
  }
  std::stable_sort(report.findings.begin(), report.findings.end(),
                   [](const CheckFinding& a, const CheckFinding& b) { return a.kind < b.kind; });
  return report;
}

std::string CheckReportText(const CheckReport& report) {
  std::string out =
      "Checked " + std::to_string(report.pages) + (report.pages == 1 ? " page: " : " pages: ") +
      (report.broken() ? ProblemCount(report.findings.size()) : "nothing broken") + ".\n";
  for (const KindNames& names : kKinds) {
    const auto count = std::count_if(report.findings.begin(), report.findings.end(),
                                     [&](const CheckFinding& f) { return f.kind == names.kind; });
    if (count == 0) {
      continue;
    }
    out += "\n" + std::string(names.heading) + " (" + std::to_string(count) + "):\n";
    for (const CheckFinding& finding : report.findings) {
      if (finding.kind == names.kind) {
        out += "  " + finding.page +
               (finding.line > 0 ? ":" + std::to_string(finding.line) : std::string()) + ": " +
               finding.text + "\n";
      }
    }
  }
  return out;
}

std::string CheckReportJson(const CheckReport& report) {
  std::string out = "{\"pages\":" + std::to_string(report.pages) +
                    ",\"problems\":" + std::to_string(report.findings.size()) + ",\"findings\":[";
  for (std::size_t i = 0; i < report.findings.size(); ++i) {
    const CheckFinding& finding = report.findings[i];
    const KindNames& names =
        *std::find_if(std::begin(kKinds), std::end(kKinds),
                      [&](const KindNames& k) { return k.kind == finding.kind; });
    out += (i == 0 ? "" : ",") + std::string("{\"kind\":\"") + names.json +
           "\",\"file\":" + JsonString(finding.page) + ",\"line\":" + std::to_string(finding.line) +
           ",\"text\":" + JsonString(finding.text) + "}";
  }
  return out + "]}\n";
}

bool CheckAfterBuildWanted(const Engine& engine) {
  return engine.ProjectSettings.sGet("CheckAfterBuild", false).AsBool();
}

}  // namespace pagorin
