// The limits no build passes, whatever its templates say, and the error
// that ends a build run at one of them.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace pagorin {

// The largest page a build makes. The largest pages on the web are a few
// megabytes; a page past 64 MB is a template gone wrong (an include
// repeated at every level, a long value used in thousands of places),
// whose growth would fill the memory or the disk.
inline constexpr std::size_t kMaxPageBytes = std::size_t{64} << 20;

// The most variables one build run defines. Sites define tens per page, a
// few hundred thousand in all on the largest; a million names take more
// than 100 MB of memory and can only come from a generated file gone wrong.
inline constexpr std::size_t kMaxVariables = 1'000'000;

// What the build ran into, in a sentence without the file it happened in
// (the compiler adds the chain of includes).
class BuildLimitExceeded : public std::runtime_error {
 public:
  explicit BuildLimitExceeded(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace pagorin
