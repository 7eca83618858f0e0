// The failures the log keeps in memory, as tests compare them.
#pragma once

#include <string>

#include "shared/log.h"

namespace pagorin::testing {

// The messages of the error ring, oldest first, each ending in "\n", without
// their numbers and times: "Overflow(6) in AddToSet of module mSHAREDSettings\n".
std::string RingMessages(const Log& log);

}  // namespace pagorin::testing
