// An FTP server in memory for tests: folders and files as maps, every call
// recorded, and any call made to fail as the test scripts it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "shared/network.h"

namespace pagorin::testing {

class ScriptedFtpServer {
 public:
  ScriptedFtpServer() { folders.insert(""); }

  // The login every Open must give; an empty password accepts any.
  std::string user = "web";
  std::string password = "secret";

  // Folders ("" is the login folder, "site/images" one below "site") and
  // files by full path ("site/index.html").
  std::set<std::string> folders;
  std::map<std::string, std::string> files;

  // What the calls did, one line each: "OPEN host web passive", "CWD site",
  // "PUT site/a.html binary", "RENAME site/a.tmp site/a", "DELETE site/a",
  // "SIZE a", "LIST site", "MKD site/x", "RMD site/x", "GET site/a ascii",
  // "CLOSE".
  std::vector<std::string> calls;
  // The last login given to Open.
  FtpLogin last_login;

  // Makes the `nth` (from 1) call of `verb` ("OPEN", "CWD", "PUT", ...) fail
  // with `result`. A failing PUT first takes `bytes_taken` bytes of the file
  // from its reader and stores nothing.
  void Fail(const std::string& verb, int nth, NetResult result, std::size_t bytes_taken = 0);
  // Called once a PUT has taken every byte of its file, before it succeeds.
  std::function<void(const std::string& path)> after_put;

  NetResult Open(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection);

  // For the connections: records `call` ("VERB arguments"), counts it and
  // answers its scripted failure, if any.
  bool Called(const std::string& call, NetResult* result, std::size_t* bytes_taken = nullptr);

 private:
  struct Failure {
    int nth;
    NetResult result;
    std::size_t bytes_taken;
  };
  std::map<std::string, std::vector<Failure>> failures_;
  std::map<std::string, int> counts_;
};

}  // namespace pagorin::testing
