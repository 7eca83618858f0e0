#include "support/ring_messages.h"

#include <regex>

namespace pagorin::testing {

std::string RingMessages(const Log& log) {
  // Each record reads " >> n: message - HH:MM:SS" and ends in CR LF.
  const std::regex record(R"( >> \d+: ([\s\S]*?) - \d\d:\d\d:\d\d\r\n)");
  const std::string ring = log.RingText();
  std::string messages;
  for (std::sregex_iterator it(ring.begin(), ring.end(), record), end; it != end; ++it) {
    messages += (*it)[1].str() + "\n";
  }
  return messages;
}

}  // namespace pagorin::testing
