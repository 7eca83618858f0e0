// Real servers on 127.0.0.1 for the publishing tests, each on a free port,
// started by the test and stopped when it ends.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace pagorin::testing {

// A child process that is ended (SIGTERM, then waited for) on destruction.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

 private:
  pid_t pid_ = -1;
};

// Runs a program to its end; its exit status (-1 when it could not run).
// With `error_output` its standard error goes into that file.
int RunProgram(const std::vector<std::string>& argv, const std::string& error_output = "");

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

}  // namespace pagorin::testing
