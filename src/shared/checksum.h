// SHA-256 checksums of downloads, and the checksum line a release's version
// file may carry.
//
// The line is "SHA256:" followed by the 64 hexadecimal digits of the
// release file's SHA-256 (letter case and blanks around either part
// ignored), on a line of its own anywhere after the version line:
//
//   2.1.0
//   https://example.com/files/site-@@@.tar.gz
//   SHA256: 9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pagorin {

// Takes data piece by piece; Hex() gives the digest in lower-case digits.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Add(std::string_view data);
  // Ends the sum: Add may not be called afterwards.
  std::string Hex();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The digest of the first checksum line after the first line of `text`, in
// lower case; empty when there is none.
std::string ChecksumInVersionText(std::string_view text);
// `text` without the checksum lines after its first line (a version line
// that looks like one stays).
std::string WithoutChecksumLines(std::string_view text);

}  // namespace pagorin
