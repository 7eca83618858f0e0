#include "editor/editor_commands.h"

#include <cmath>
#include <cstdio>

#include "shared/paths.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kIncludeTip = "[include=] tag. You can specify relative or fixed path too";

// The leading number of a text as typed into a box: blanks, a sign, digits
// and a fraction; 0 when it starts with none of them.
double LeadingNumber(std::string_view text) {
  const std::string trimmed = Trim(text);
  double value = 0;
  char rest = 0;
  if (std::sscanf(trimmed.c_str(), "%lf%c", &value, &rest) < 1 || !std::isfinite(value)) {
    return 0;
  }
  return value;
}

// A row or column count, rounded half to even; kept within what a table
// built by hand can sensibly hold.
long TableCount(std::string_view text) {
  constexpr double kMostCells = 1000;
  const double value = std::nearbyint(LeadingNumber(text));
  return value < 0 ? 0 : static_cast<long>(value > kMostCells ? kMostCells : value);
}

}  // namespace

const std::array<Snippet, kSnippetCount> kSnippets = {{
    {"<b>", "<b>", "</b>", "Bold"},
    {"<i>", "<i>", "</i>", "Italics"},
    {"<u>", "<u>", "</u>", "Underline"},
    {"<a>", "<a href='https://www.example.com/' title='title here'>", "</a>", "Hyperlink"},
    {"<img>", "<img src='image.png' alt='description' />", "", "Image"},
    {"[inc]", "[include=IncFile.inc", "]", kIncludeTip},
    {"<h1>", "<h1>", "</h1>", "Heading 1"},
    {"<h2>", "<h2>", "</h2>", "Heading 2"},
    {"<h3>", "<h3>", "</h3>", "Heading 3"},
    {"<table>", "<table>", "</table>", "Table"},
    {"<tr>", "<tr>", "</tr>", "Table Row"},
    {"<td>", "<td>", "</td>", "Table Column"},
    {"<center>", "<center>", "</center>", "Centered"},
    {"<p> center", "<p align='center'>", "</p>", "Paragraph (Align center)"},
    {"<p> left", "<p align='left'>", "</p>", "Paragraph (Align left)"},
    {"<p> right", "<p align='right'>", "</p>", "Paragraph (Align right)"},
    {"<hr>", "<hr />", "", "Horizontal Line"},
    {"<br>", "<br />", "", "Newline"},
    {"&nbsp;", "&nbsp;", "", ""},
    {"<meta> desc", "<META name=\"description\" content=\"\">", "", ""},
    {"<meta> keywords", "<META name=\"keywords\" content=\"\">", "", ""},
}};

const std::array<Rgb, kPaletteCount> kPalette = {{
    {0, 0, 0},
    {192, 192, 192},
    {255, 0, 0},
    {255, 128, 128},
    {192, 192, 0},
    {255, 255, 0},
    {0, 192, 0},
    {128, 255, 128},
    {0, 0, 192},
    {128, 128, 255},
    {192, 0, 192},
    {255, 128, 255},
}};

std::string PaletteBefore(const Rgb& colour) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%02X%02X%02X", colour.red, colour.green, colour.blue);
  return std::string("<font color = '") + hex + "'>";
}

std::string PickedInclude(const std::string& chosen_file, const std::string& includes_dir) {
  const std::string folder = ToForwardSlashes(PathOnly(Trim(chosen_file)));
  if (EqualsNoCase(folder, ToForwardSlashes(Trim(includes_dir)))) {
    return fileonly(chosen_file);
  }
  return ToForwardSlashes(chosen_file);
}

std::string TagCountReport(std::string_view text) {
  static constexpr const char* kLines[5][4] = {
      {"<Table> ", "<table", "  </Table> ", "</table"},
      {"<tr> ", "<tr", "  </tr> ", "</tr"},
      {"<td> ", "<td", "  </td> ", "</td"},
      {"<a> ", "<a ", "  </a> ", "</a"},
      {"<p> ", "<p", "  </p> ", "</p"},
  };
  std::string report;
  for (const auto& line : kLines) {
    report += line[0] + std::to_string(CountTags(text, line[1])) + line[2] +
              std::to_string(CountTags(text, line[3])) + "\r\n";
  }
  return report;
}

std::string DroppedFileSnippet(std::string_view path, std::string_view project_dir) {
  std::string relative(path);
  replacewith(relative, project_dir, "");  // letter case ignored
  relative = ToForwardSlashes(relative);
  const std::size_t dot = relative.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : relative.substr(dot + 1);
  const bool image = ContainsText(".jpg.png.gif", extension);
  const std::string_view pattern =
      image ? "<img src='@' alt='#'>\r\n" : "<a href='@' title='#'>link text</a>\r\n";
  // Both placeholders in one pass, so that a "#" in the path stays as it is.
  std::string snippet;
  for (const char c : pattern) {
    if (c == '@') {
      snippet += relative;
    } else if (c == '#') {
      snippet += fileonly(relative);
    } else {
      snippet += c;
    }
  }
  return snippet;
}

std::string TableString(std::string_view table_format, std::string_view cell_format,
                        std::string_view rows, std::string_view cols) {
  const long row_count = TableCount(rows);
  const long col_count = TableCount(cols);
  const std::string cell = "<td " + Trim(cell_format) + ">Cell</td>\r\n";
  std::string table = "<table " + std::string(table_format) + ">\r\n";
  for (long row = 0; row < row_count; ++row) {
    table += "<tr>\r\n";
    for (long col = 0; col < col_count; ++col) {
      table += cell;
    }
    table += "</tr>\r\n";
  }
  return table + "</table>\r\n";
}

std::optional<std::string> FileToOpenAt(std::string_view text, std::size_t caret,
                                        const SpanColour& colour_at_caret,
                                        const std::string& project_dir,
                                        const std::string& includes_dir) {
  if (caret == 0 || caret >= text.size() || !colour_at_caret) {
    return std::nullopt;
  }
  if (*colour_at_caret == kIncludeRed) {
    const std::size_t open = text.rfind('[', caret);
    const std::size_t close = open == std::string_view::npos ? open : text.find(']', open);
    if (close == std::string_view::npos) {
      return std::nullopt;
    }
    const std::string_view directive = text.substr(open, close - open + 1);
    const std::size_t equals = directive.find('=');
    std::string name(directive.substr(equals == std::string_view::npos ? 0 : equals + 1));
    replacewith(name, "]", "");
    return IsFullPath(name) ? name : includes_dir + name;
  }
  if (*colour_at_caret == kStyleSheetPink) {
    const std::size_t open = text.rfind('\'', caret);
    const std::size_t close = open == std::string_view::npos ? open : text.find('\'', open + 1);
    if (close == std::string_view::npos) {
      return std::nullopt;
    }
    std::string name = ToForwardSlashes(text.substr(open + 1, close - open - 1));
    if (!name.empty() && name[0] == '/') {
      name.erase(0, 1);
    }
    return project_dir + name;
  }
  return std::nullopt;
}

}  // namespace pagorin
