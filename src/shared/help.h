// The program's help: the manual, installed as web pages with the program.
#pragma once

#include <string>

#include "shared/env.h"

namespace pagorin {

// The manual's page `topic` (a file name such as "publishing.html"), or its
// first page when the topic is empty or has no page of its own.
std::string ManualPage(Env& env, const std::string& topic);

// Opens ManualPage in the browser. When the manual is not installed, or no
// browser can be started, a message says so and where the manual belongs.
void ShowHelp(Env& env, const std::string& topic = {});

}  // namespace pagorin
