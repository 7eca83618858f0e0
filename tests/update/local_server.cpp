#include "local_server.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace pagorin::testing {

LocalServer::LocalServer(std::vector<std::string> arguments, const std::string& port_file) {
  std::vector<std::string> argv{
      "/usr/bin/python3", std::string(PAGORIN_SOURCE_DIR) + "/tests/update/data/release_server.py",
      arguments.at(0), arguments.at(1), port_file};
  argv.insert(argv.end(), arguments.begin() + 2, arguments.end());
  process_ = std::make_unique<ChildProcess>(argv);
  port_ = process_->WaitForPortFile(port_file);
  if (port_ == 0) {
    throw std::runtime_error("the test server did not start");
  }
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
