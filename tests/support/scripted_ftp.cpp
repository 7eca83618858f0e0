#include "support/scripted_ftp.h"

#include <algorithm>

namespace pagorin::testing {

namespace {

NetResult Refused(const std::string& reply) {
  return NetResult{9, reply};
}

class ScriptedFtpConnection final : public FtpConnection {
 public:
  explicit ScriptedFtpConnection(ScriptedFtpServer& server) : server_(server) {}
  ~ScriptedFtpConnection() override { server_.calls.push_back("CLOSE"); }

  NetResult ChangeDirectory(const std::string& folder) override {
    const std::string path = Resolve(folder);
    NetResult result;
    if (server_.Called("CWD " + path, &result)) {
      return result;
    }
    if (!server_.folders.contains(path)) {
      return Refused("550 No such file or directory.");
    }
    folder_ = path;
    return {};
  }
  std::string CurrentDirectory() const override { return "/" + folder_; }

  NetResult Put(const std::string& name, bool binary, const Reader& read) override {
    const std::string path = Resolve(name);
    NetResult result;
    std::size_t bytes_taken = 0;
    const bool fails =
        server_.Called("PUT " + path + (binary ? " binary" : " ascii"), &result, &bytes_taken);
    std::string data;
    char buffer[16384];
    while (!fails || data.size() < bytes_taken) {
      const std::size_t got = read(buffer, sizeof buffer);
      if (got == FtpConnection::kAbort) {
        return NetResult{42, "Operation was aborted by an application callback"};
      }
      if (got == 0) {
        break;
      }
      data.append(buffer, got);
    }
    if (fails) {
      return result;
    }
    if (!server_.folders.contains(Parent(path))) {
      return Refused("553 No such directory.");
    }
    if (server_.after_put) {
      server_.after_put(path);
    }
    server_.files[path] = data;
    return {};
  }

  NetResult Get(const std::string& name, bool binary, const Writer& write) override {
    const std::string path = Resolve(name);
    NetResult result;
    if (server_.Called("GET " + path + (binary ? " binary" : " ascii"), &result)) {
      return result;
    }
    auto file = server_.files.find(path);
    if (file == server_.files.end()) {
      return Refused("550 No such file or directory.");
    }
    for (std::size_t at = 0; at < file->second.size(); at += 1000) {
      if (!write(std::string_view(file->second).substr(at, 1000))) {
        return NetResult{23, "Failed writing received data to disk/application"};
      }
    }
    return {};
  }

  NetResult Size(const std::string& name, std::int64_t* size) override {
    const std::string path = Resolve(name);
    *size = -1;
    NetResult result;
    if (server_.Called("SIZE " + path, &result)) {
      return result;
    }
    auto file = server_.files.find(path);
    if (file == server_.files.end()) {
      return NetResult{kNotFound, "The file does not exist"};
    }
    *size = static_cast<std::int64_t>(file->second.size());
    return {};
  }

  NetResult Rename(const std::string& from, const std::string& to) override {
    const std::string source = Resolve(from), target = Resolve(to);
    NetResult result;
    if (server_.Called("RENAME " + source + " " + target, &result)) {
      return result;
    }
    auto file = server_.files.find(source);
    if (file == server_.files.end()) {
      return Refused("550 No such file or directory.");
    }
    std::string data = std::move(file->second);
    server_.files.erase(file);
    server_.files[target] = std::move(data);
    return {};
  }

  NetResult Delete(const std::string& name) override {
    const std::string path = Resolve(name);
    NetResult result;
    if (server_.Called("DELETE " + path, &result)) {
      return result;
    }
    return server_.files.erase(path) == 1 ? NetResult{} : Refused("550 No such file or directory.");
  }

  NetResult MakeDirectory(const std::string& folder) override {
    const std::string path = Resolve(folder);
    NetResult result;
    if (server_.Called("MKD " + path, &result)) {
      return result;
    }
    if (server_.folders.contains(path) || !server_.folders.contains(Parent(path))) {
      return Refused("550 Cannot create directory.");
    }
    server_.folders.insert(path);
    return {};
  }

  NetResult RemoveDirectory(const std::string& folder) override {
    const std::string path = Resolve(folder);
    NetResult result;
    if (server_.Called("RMD " + path, &result)) {
      return result;
    }
    return server_.folders.erase(path) == 1 ? NetResult{}
                                            : Refused("550 No such file or directory.");
  }

  NetResult List(std::vector<FtpListEntry>* entries) override {
    entries->clear();
    NetResult result;
    if (server_.Called("LIST " + folder_, &result)) {
      return result;
    }
    for (const std::string& folder : server_.folders) {
      if (!folder.empty() && Parent(folder) == folder_) {
        entries->push_back({Base(folder), true, 0});
      }
    }
    for (const auto& [path, data] : server_.files) {
      if (Parent(path) == folder_) {
        entries->push_back({Base(path), false, static_cast<std::int64_t>(data.size())});
      }
    }
    return {};
  }

 private:
  static std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
  }
  static std::string Base(const std::string& path) { return path.substr(path.rfind('/') + 1); }
  std::string Resolve(const std::string& name) const {
    std::string path = name.starts_with("/") ? name.substr(1) : name;
    if (!folder_.empty() && !name.starts_with("/")) {
      path = path.empty() ? folder_ : folder_ + "/" + path;
    }
    while (path.ends_with("/")) {
      path.pop_back();
    }
    return path;
  }

  ScriptedFtpServer& server_;
  std::string folder_;
};

}  // namespace

void ScriptedFtpServer::Fail(const std::string& verb, int nth, NetResult result,
                             std::size_t bytes_taken) {
  failures_[verb].push_back({nth, std::move(result), bytes_taken});
}

bool ScriptedFtpServer::Called(const std::string& call, NetResult* result,
                               std::size_t* bytes_taken) {
  calls.push_back(call);
  const std::string verb = call.substr(0, call.find(' '));
  const int count = ++counts_[verb];
  for (const Failure& failure : failures_[verb]) {
    if (failure.nth == count) {
      *result = failure.result;
      if (bytes_taken != nullptr) {
        *bytes_taken = failure.bytes_taken;
      }
      return true;
    }
  }
  return false;
}

NetResult ScriptedFtpServer::Open(const FtpLogin& login,
                                  std::unique_ptr<FtpConnection>* connection) {
  last_login = login;
  connection->reset();
  NetResult result;
  if (Called("OPEN " + login.server + " " + login.user + (login.passive ? " passive" : " active"),
             &result)) {
    return result;
  }
  if (login.user != user || (!password.empty() && login.password != password)) {
    return Refused("530 Authentication failed.");
  }
  *connection = std::make_unique<ScriptedFtpConnection>(*this);
  return {};
}

}  // namespace pagorin::testing
