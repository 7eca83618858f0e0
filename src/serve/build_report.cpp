#include "serve/build_report.h"

#include <deque>
#include <fstream>
#include <map>
#include <sstream>

#include "shared/html.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::string_view kDirective = "[include=";

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The names in the "[include=NAME]" directives of `text`, in order.
std::vector<std::string> IncludedNames(const std::string& text) {
  std::vector<std::string> names;
  const std::string lower = LCase(text);
  for (size_t at = lower.find(kDirective); at != std::string::npos;
       at = lower.find(kDirective, at + 1)) {
    const size_t start = at + kDirective.size();
    const size_t end = text.find(']', start);
    if (end == std::string::npos) {
      break;
    }
    names.push_back(text.substr(start, end - start));
  }
  return names;
}

}  // namespace

std::string MissingIncludeChain(const std::string& message, const std::string& template_path,
                                const std::string& includes_dir) {
  const std::string separator = " not found in ";
  const size_t split = message.find(separator);
  if (split == std::string::npos || template_path.empty()) {
    return {};
  }
  const std::string missing = message.substr(0, split);
  std::string source = message.substr(split + separator.size());
  if (const size_t stop = source.find(". Please"); stop != std::string::npos) {
    source.resize(stop);
  }
  // Breadth first from the template, so the chain shown is a shortest one.
  std::map<std::string, std::string> parent;  // file name -> the file that includes it
  std::deque<std::pair<std::string, std::string>> waiting = {
      {FileName(template_path), template_path}};
  parent[FileName(template_path)] = "";
  while (!waiting.empty()) {
    const auto [name, path] = waiting.front();
    waiting.pop_front();
    if (EqualsNoCase(name, source)) {
      std::string chain = missing;
      for (std::string at = name; !at.empty(); at = parent[at]) {
        chain = at + " > " + chain;
      }
      return chain;
    }
    for (const std::string& included : IncludedNames(ReadText(path))) {
      if (parent.emplace(included, name).second) {
        waiting.emplace_back(included, includes_dir + included);
      }
    }
  }
  return {};
}

std::string BuildErrorPage(const std::vector<std::string>& messages, const std::string& page,
                           const std::string& chain) {
  std::string html =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Build failed</title>\n"
      "<style>body{font:15px sans-serif;margin:2em;color:#222}"
      "h1{color:#a00;font-size:1.4em}pre{background:#fee;border:1px solid #d99;"
      "padding:.8em;white-space:pre-wrap}</style></head>\n<body>\n<h1>Build failed</h1>\n";
  for (const std::string& message : messages) {
    html += "<pre>" + TextAsHtml(message) + "</pre>\n";
  }
  if (!page.empty()) {
    html += "<p>While building " + TextAsHtml(page) + "</p>\n";
  }
  if (!chain.empty()) {
    html += "<p>Includes: " + TextAsHtml(chain) + "</p>\n";
  }
  html += "<p>The page reloads by itself once the site builds again.</p>\n</body></html>\n";
  return html;
}

}  // namespace pagorin
