// Visiting a web page or mail link from the program.
#pragma once

#include <string>

#include "shared/env.h"

namespace pagorin {

// Opens `address` (a web page or a "mailto:" link) with the program the
// desktop uses for it. When that cannot be started, the person sees "There
// was an ERROR?" titled "Open URL Error" with an exclamation icon.
void websitevisit(Env& env, const std::string& address);

}  // namespace pagorin
