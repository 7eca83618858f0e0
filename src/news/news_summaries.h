// Rebuilds the news list includes of a site from the news items on disk.
#pragma once

#include <string>

#include "shared/env.h"

namespace pagorin {

class cSHAREDSettings;

// Writes every news list include that the project's list definitions name,
// from the items found in site_folder + "Templates/". Never throws: every
// failure is logged and the lists are still written from what could be read.
// `site_folder` ends in "/".
void GenerateNewsSummaries(Env& env, const cSHAREDSettings& project_settings,
                           const std::string& site_folder);

}  // namespace pagorin
