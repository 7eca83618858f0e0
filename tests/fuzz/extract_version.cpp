// The release server's version text: any bytes give a version, and a
// version is never newer than itself.
#include "fuzz_input.h"
#include "update/version_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  const ReleaseVersion version = ExtractVersion(fuzz::Text(data, size));
  FUZZ_CHECK(!IsNewerVersion(version, version));
  FUZZ_CHECK(version.suffix.size() <= 1);
  FUZZ_CHECK(version.sha256.find_first_not_of("0123456789abcdef") == std::string::npos);
  CompactVersion(version);
  DisplayVersion(version);
  return 0;
}
