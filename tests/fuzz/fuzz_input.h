// The fuzz targets' view of libFuzzer's input: one text, or several texts
// separated by a line "%%" (the seeds and dictionaries use the same).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace pagorin::fuzz {

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The parts of the input; at least `count` of them, the missing ones empty.
inline std::vector<std::string> Parts(const std::uint8_t* data, std::size_t size,
                                      std::size_t count) {
  constexpr std::string_view kSeparator = "\n%%\n";
  std::vector<std::string> parts;
  std::string_view rest = Text(data, size);
  for (std::size_t at = rest.find(kSeparator); at != std::string_view::npos;
       at = rest.find(kSeparator)) {
    parts.emplace_back(rest.substr(0, at));
    rest.remove_prefix(at + kSeparator.size());
  }
  parts.emplace_back(rest);
  if (parts.size() < count) {
    parts.resize(count);
  }
  return parts;
}

// Ends the run as a crash that libFuzzer keeps, with what went wrong.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

}  // namespace pagorin::fuzz
