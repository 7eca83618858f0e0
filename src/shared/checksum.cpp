#include "shared/checksum.h"

#include <openssl/evp.h>

#include <stdexcept>

#include "shared/text.h"

namespace pagorin {

struct Sha256::State {
  EVP_MD_CTX* context = nullptr;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->context = EVP_MD_CTX_new();
  if (state_->context == nullptr ||
      EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(state_->context);
    throw std::runtime_error("SHA-256 is not available");
  }
}

Sha256::~Sha256() {
  EVP_MD_CTX_free(state_->context);
}

void Sha256::Add(std::string_view data) {
  EVP_DigestUpdate(state_->context, data.data(), data.size());
}

std::string Sha256::Hex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(state_->context, digest, &length);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 15];
  }
  return hex;
}

namespace {

constexpr std::string_view kLabel = "SHA256:";

// The digest a line carries in lower case, or empty when it is no checksum
// line. `line` comes without its LF; a CR at its end is a blank here.
std::string DigestOfLine(std::string_view line) {
  if (line.ends_with('\r')) {
    line.remove_suffix(1);
  }
  line = TrimView(line);
  if (!StartsWithNoCase(line, kLabel)) {
    return {};
  }
  const std::string_view digits = TrimView(line.substr(kLabel.size()));
  if (digits.size() != 64) {
    return {};
  }
  std::string digest;
  for (const char c : digits) {
    const char lower = ToLowerAscii(c);
    if (!((lower >= '0' && lower <= '9') || (lower >= 'a' && lower <= 'f'))) {
      return {};
    }
    digest += lower;
  }
  return digest;
}

// Calls `each(line, digest)` for every line after the first, `line`
// including its LF when it has one.
template <typename Each>
void ForLinesAfterFirst(std::string_view text, Each each) {
  std::size_t start = text.find('\n');
  while (start != std::string_view::npos && start + 1 <= text.size()) {
    ++start;
    const std::size_t end = text.find('\n', start);
    const std::string_view line =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    const std::string_view with_end = text.substr(
        start, end == std::string_view::npos ? std::string_view::npos : end - start + 1);
    if (!each(line, with_end)) {
      return;
    }
    start = end;
  }
}

}  // namespace

std::string ChecksumInVersionText(std::string_view text) {
  std::string found;
  ForLinesAfterFirst(text, [&found](std::string_view line, std::string_view) {
    found = DigestOfLine(line);
    return found.empty();
  });
  return found;
}

std::string WithoutChecksumLines(std::string_view text) {
  const std::size_t first_end = text.find('\n');
  std::string kept(
      text.substr(0, first_end == std::string_view::npos ? text.size() : first_end + 1));
  ForLinesAfterFirst(text, [&kept](std::string_view line, std::string_view with_end) {
    if (DigestOfLine(line).empty()) {
      kept += with_end;
    }
    return true;
  });
  return kept;
}

}  // namespace pagorin
