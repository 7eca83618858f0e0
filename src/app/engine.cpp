#include "app/engine.h"

namespace pagorin {

Engine::Engine(Env& services)
    : env(services),
      AppSettings(services),
      ProjectSettings(services),
      FileCache(services),
      TemplateVars(services),
      cFTP(services, AppSettings) {}

}  // namespace pagorin
