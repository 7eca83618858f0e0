// Real servers on 127.0.0.1 for the publishing tests, each on a free port,
// started by the test and stopped when it ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace pagorin::testing {

// The FTP server of tests/publish/ftp_server.py: user "web", password
// "secret", files under `root`. `fault` as that script names them; with
// `tls` the server needs explicit TLS, with the certificate made by
// MakeCertificate in `root`/../tls.
class LocalFtpServer {
 public:
  LocalFtpServer(const std::string& root, const std::string& fault = "", bool tls = false);

  int port() const { return port_; }
  // "127.0.0.1:PORT", with "ftps://" in front for TLS.
  std::string address() const;
  // Where the certificate the client must trust is (TLS only).
  std::string certificate() const { return tls_dir_ + "cert.pem"; }

 private:
  std::string tls_dir_;
  bool tls_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

// OpenSSH's server serving SFTP to the current user, who logs in with a key
// of its own; the SFTP session starts in `root`. Its host key, the user's
// key, its configuration and a known-hosts file naming it are made in
// `folder`. When it cannot run (no sshd, a port it cannot take), error()
// says why and the tests that need it skip.
class LocalSshServer {
 public:
  LocalSshServer(const std::string& folder, const std::string& root);

  const std::string& error() const { return error_; }
  // "sftp://127.0.0.1:PORT".
  std::string address() const;
  const std::string& user() const { return user_; }
  std::string key_file() const { return folder_ + "/user_key"; }
  std::string known_hosts() const { return folder_ + "/known_hosts"; }

 private:
  std::string folder_;
  std::string user_;
  std::string error_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace pagorin::testing
