// Servers the update tests start on 127.0.0.1 for themselves: the release
// server over HTTP or HTTPS, and a proxy that records what it is asked.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace pagorin::testing {

// Runs tests/update/data/release_server.py with `arguments` (its port file
// added) until destroyed; port() is known once it listens.
class LocalServer {
 public:
  LocalServer(std::vector<std::string> arguments, const std::string& port_file);

  int port() const { return port_; }

 private:
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

// A certificate authority and a certificate for 127.0.0.1 signed by it, made
// with the openssl program in `folder` (ending in "/"): ca.pem, server.pem,
// server.key. Throws when openssl fails.
void MakeCertificates(const std::string& folder);

}  // namespace pagorin::testing
