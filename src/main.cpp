// The pagorin executable. Until the project commands arrive it only reports
// its version.
#include <cstdio>

#include "shared/log.h"

int main() {
  std::printf("Pagorin %s\n", pagorin::AppVersion().c_str());
  return 0;
}
