// The version text a release server publishes: the version on the first
// line, the download address after it, and optionally a checksum line
// (shared/checksum.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pagorin {

struct ReleaseVersion {
  std::int64_t major = 0;
  std::int64_t minor = 0;
  std::int64_t revision = 0;
  std::string suffix;  // one letter (1.0.50b) or empty
  std::string url;     // "@@@" already replaced by the compact version
  std::string sha256;  // of the download, lower case; empty when not announced

  bool operator==(const ReleaseVersion&) const = default;
};

// Major, minor and revision are the leading digits of the first line's
// dot-separated fields (50b gives 50); the suffix is the revision field's
// last character unless that is a digit. The address is every line after
// the first but the checksum lines, joined without their line ends, with
// "@@@" replaced by the compact version; empty when there is no second line.
ReleaseVersion ExtractVersion(std::string_view text);

// 1, 0, 50 and b give "1050b".
std::string CompactVersion(const ReleaseVersion& version);
// "1.0.50B": the numbers with dots, the suffix right after, upper-cased.
std::string DisplayVersion(const ReleaseVersion& version);

// True when `available` is newer than `current`: by major, minor and
// revision in turn, then, when all three are equal, by suffix in byte order
// (no suffix comes first).
bool IsNewerVersion(const ReleaseVersion& available, const ReleaseVersion& current);

}  // namespace pagorin
