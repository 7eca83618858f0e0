// A network for tests: nothing leaves the machine; each call answers as the
// test scripted it and is recorded.
#pragma once

#include "shared/network.h"

namespace pagorin::testing {

class ScriptedNetwork : public Network {
 public:
  // ---- FTP, FTPS and SFTP (publishing) ----

  // ---- HTTP and HTTPS (downloads, update check) ----
};

}  // namespace pagorin::testing
