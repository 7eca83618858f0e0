#include "local_server.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace pagorin::testing {

LocalServer::LocalServer(std::vector<std::string> arguments, const std::string& port_file) {
  std::vector<std::string> words{
      "/usr/bin/python3", std::string(PAGORIN_SOURCE_DIR) + "/tests/update/data/release_server.py"};
  words.push_back(arguments.at(0));
  words.push_back(arguments.at(1));
  words.push_back(port_file);
  words.insert(words.end(), arguments.begin() + 2, arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start the test server");
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (port_ == 0 && std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(port_file);
    if (!(in >> port_)) {
      port_ = 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  if (port_ == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    throw std::runtime_error("the test server did not start");
  }
}

LocalServer::~LocalServer() {
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

void MakeCertificates(const std::string& folder) {
  std::ofstream(folder + "ext.cnf") << "subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n";
  const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
  const std::string commands =
      "(cd '" + folder + "' && openssl req -x509" + key +
      " -keyout ca.key -out ca.pem -days 2 -subj '/CN=Test CA' && openssl req" + key +
      " -keyout server.key -out server.csr -subj '/CN=127.0.0.1' && openssl x509 -req -in "
      "server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 -extfile "
      "ext.cnf)";
  if (std::system((commands + " >/dev/null 2>&1").c_str()) != 0) {
    throw std::runtime_error("openssl could not make the test certificates");
  }
}

}  // namespace pagorin::testing
