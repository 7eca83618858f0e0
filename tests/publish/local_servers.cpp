#include "publish/local_servers.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>

namespace pagorin::testing {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::string& error_output = "") {
  std::vector<char*> pointers;
  for (const std::string& argument : argv) {
    pointers.push_back(const_cast<char*>(argument.c_str()));
  }
  pointers.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!error_output.empty()) {
      const int fd = open(error_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(fd, 2);
    }
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) : pid_(Spawn(argv)) {
  if (pid_ < 0) {
    throw std::runtime_error("cannot start " + argv[0]);
  }
}

ChildProcess::~ChildProcess() {
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

int RunProgram(const std::vector<std::string>& argv, const std::string& error_output) {
  const pid_t pid = Spawn(argv, error_output);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

LocalFtpServer::LocalFtpServer(const std::string& root, const std::string& fault, bool tls)
    : tls_dir_(std::filesystem::path(root + "/").parent_path().parent_path().string() + "/tls/"),
      tls_(tls) {
  std::string folder = root;
  while (folder.ends_with("/")) {
    folder.pop_back();
  }
  const std::string port_file = folder + ".port";
  std::filesystem::remove(port_file);
  std::vector<std::string> argv = {
      "/usr/bin/python3", PAGORIN_SOURCE_DIR "/tests/publish/ftp_server.py", root, port_file};
  if (tls) {
    std::filesystem::create_directories(tls_dir_);
    if (!std::filesystem::exists(certificate()) &&
        RunProgram({"/bin/sh", "-c",
                    "/usr/bin/openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
                    " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
                        tls_dir_ + "key.pem' -out '" + certificate() + "' 2>/dev/null"}) != 0) {
      throw std::runtime_error("openssl could not make a certificate");
    }
    argv.insert(argv.end(), {"--tls", certificate(), tls_dir_ + "key.pem"});
  }
  if (!fault.empty()) {
    argv.insert(argv.end(), {"--fault", fault});
  }
  process_ = std::make_unique<ChildProcess>(argv);
  for (int waited = 0; waited < 200 && port_ == 0; ++waited) {
    std::ifstream in(port_file);
    if (!(in >> port_)) {
      port_ = 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  if (port_ == 0) {
    throw std::runtime_error("the FTP server did not start");
  }
}

std::string LocalFtpServer::address() const {
  return (tls_ ? "ftps://127.0.0.1:" : "127.0.0.1:") + std::to_string(port_);
}

}  // namespace pagorin::testing
