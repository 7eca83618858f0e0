#include "publish/local_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <thread>

namespace pagorin::testing {

namespace {

// A port on 127.0.0.1 that nothing listens on just now; 0 when none.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (fd >= 0) {
    close(fd);
  }
  return port;
}

// True once something accepts connections on 127.0.0.1:port.
bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool accepted =
      fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) {
    close(fd);
  }
  return accepted;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

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
  port_ = process_->WaitForPortFile(port_file);
  if (port_ == 0) {
    throw std::runtime_error("the FTP server did not start");
  }
}

std::string LocalFtpServer::address() const {
  return (tls_ ? "ftps://127.0.0.1:" : "127.0.0.1:") + std::to_string(port_);
}

LocalSshServer::LocalSshServer(const std::string& folder, const std::string& root)
    : folder_(folder) {
  const char* sshd = "/usr/sbin/sshd";
  const char* keygen = "/usr/bin/ssh-keygen";
  if (access(sshd, X_OK) != 0 || access(keygen, X_OK) != 0) {
    error_ = "OpenSSH's server is not installed (openssh-server)";
    return;
  }
  const passwd* account = getpwuid(geteuid());
  if (account == nullptr) {
    error_ = "the current user has no name";
    return;
  }
  user_ = account->pw_name;
  // sshd wants its empty privilege-separation folder; only root may make it.
  if (geteuid() == 0 && !std::filesystem::exists("/run/sshd")) {
    std::filesystem::create_directories("/run/sshd");
  }
  std::filesystem::create_directories(folder_);
  for (const char* key : {"host_key", "user_key"}) {
    const std::string path = folder_ + "/" + key;
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".pub");
    if (RunProgram({keygen, "-q", "-t", "ed25519", "-N", "", "-f", path}) != 0) {
      error_ = "ssh-keygen could not make a key";
      return;
    }
  }
  std::filesystem::copy_file(key_file() + ".pub", folder_ + "/authorized_keys",
                             std::filesystem::copy_options::overwrite_existing);
  port_ = FreePort();
  std::ofstream(folder_ + "/sshd_config")
      << "HostKey " << folder_ << "/host_key\n"
      << "ListenAddress 127.0.0.1\n"
      << "AuthorizedKeysFile " << folder_ << "/authorized_keys\n"
      << "PubkeyAuthentication yes\n"
      << "PasswordAuthentication no\n"
      << "KbdInteractiveAuthentication no\n"
      << "PermitRootLogin prohibit-password\n"
      << "StrictModes no\n"
      << "UsePAM no\n"
      << "PidFile none\n"
      << "Subsystem sftp internal-sftp -d " << root << "\n";
  std::ofstream(known_hosts()) << "[127.0.0.1]:" << port_ << " "
                               << ReadWhole(folder_ + "/host_key.pub");
  const std::string log = folder_ + "/sshd.log";
  process_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{sshd, "-D", "-e", "-f", folder_ + "/sshd_config", "-p",
                               std::to_string(port_)},
      log);
  for (int waited = 0; waited < 100 && !Accepts(port_); ++waited) {
    if (!process_->Running()) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!process_->Running() || !Accepts(port_)) {
    error_ = "sshd did not start: " + ReadWhole(log);
  }
}

std::string LocalSshServer::address() const {
  return "sftp://127.0.0.1:" + std::to_string(port_);
}

}  // namespace pagorin::testing
