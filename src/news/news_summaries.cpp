#include "news/news_summaries.h"

namespace pagorin {

// Placeholder until the news lists are written; builds call it already.
void GenerateNewsSummaries(Env& /*env*/, const cSHAREDSettings& /*project_settings*/,
                           const std::string& /*site_folder*/) {}

}  // namespace pagorin
