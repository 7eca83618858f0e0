#include "support/ring_messages.h"

namespace pagorin::testing {

std::string RingMessages(const Log& log) {
  // Each record reads " >> n: message - HH:MM:SS" and ends in CR LF.
  std::string messages;
  const std::string ring = log.RingText();
  for (size_t start = 0; start < ring.size();) {
    size_t end = ring.find("\r\n", start);
    if (end == std::string::npos) {
      end = ring.size();
    }
    const std::string line = ring.substr(start, end - start);
    start = end + 2;
    const size_t colon = line.find(": ");
    const size_t dash = line.rfind(" - ");
    if (colon != std::string::npos && dash != std::string::npos && dash > colon) {
      messages += line.substr(colon + 2, dash - colon - 2) + "\n";
    }
  }
  return messages;
}

}  // namespace pagorin::testing
