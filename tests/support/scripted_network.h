// A network for tests: nothing leaves the machine; each call answers as the
// test scripted it and is recorded.
#pragma once

#include "shared/network.h"
#include "support/scripted_ftp.h"

namespace pagorin::testing {

class ScriptedNetwork : public Network {
 public:
  // ---- FTP, FTPS and SFTP (publishing) ----

  // The one FTP server this network reaches, whatever the address.
  ScriptedFtpServer ftp;
  NetResult OpenFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) override {
    return ftp.Open(login, connection);
  }

  // ---- HTTP and HTTPS (downloads, update check) ----
};

}  // namespace pagorin::testing
