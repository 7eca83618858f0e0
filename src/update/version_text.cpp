#include "update/version_text.h"

#include "shared/checksum.h"
#include "shared/text.h"

namespace pagorin {

namespace {

// The number the field starts with, after blanks; 0 without digits. Very
// long digit runs stop growing rather than overflow.
std::int64_t LeadingNumber(std::string_view field) {
  field = TrimView(field);
  std::int64_t number = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') {
      break;
    }
    if (number < 100'000'000'000'000'000) {
      number = number * 10 + (c - '0');
    }
  }
  return number;
}

// The field `index` (0-based) of `line` split at dots; empty when missing.
std::string_view Field(std::string_view line, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t dot = line.find('.');
    if (dot == std::string_view::npos) {
      return {};
    }
    line.remove_prefix(dot + 1);
  }
  return line.substr(0, line.find('.'));
}

}  // namespace

ReleaseVersion ExtractVersion(std::string_view text) {
  ReleaseVersion version;
  const std::size_t line_end = text.find('\n');
  const std::string first_line = ReplaceAll(text.substr(0, line_end), "\r", "", true);
  version.major = LeadingNumber(Field(first_line, 0));
  version.minor = LeadingNumber(Field(first_line, 1));
  // The revision field runs to the end of the line.
  std::string_view revision = Field(first_line, 2);
  const std::size_t after_minor = first_line.find('.', first_line.find('.') + 1);
  if (after_minor != std::string::npos) {
    revision = TrimView(std::string_view(first_line).substr(after_minor + 1));
  }
  version.revision = LeadingNumber(revision);
  if (!revision.empty() && (revision.back() < '0' || revision.back() > '9')) {
    version.suffix = std::string(1, revision.back());
  }
  version.sha256 = ChecksumInVersionText(text);
  if (line_end != std::string_view::npos) {
    std::string address = WithoutChecksumLines(text).substr(line_end + 1);
    address = ReplaceAll(ReplaceAll(address, "\r", "", true), "\n", "", true);
    version.url = ReplaceAll(address, "@@@", CompactVersion(version), true);
  }
  return version;
}

std::string CompactVersion(const ReleaseVersion& version) {
  return std::to_string(version.major) + std::to_string(version.minor) +
         std::to_string(version.revision) + version.suffix;
}

std::string DisplayVersion(const ReleaseVersion& version) {
  return UCase(std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
               std::to_string(version.revision) + version.suffix);
}

bool IsNewerVersion(const ReleaseVersion& available, const ReleaseVersion& current) {
  if (available.major != current.major) {
    return available.major > current.major;
  }
  if (available.minor != current.minor) {
    return available.minor > current.minor;
  }
  if (available.revision != current.revision) {
    return available.revision > current.revision;
  }
  return available.suffix > current.suffix;
}

}  // namespace pagorin
