// The one door through which the engine reaches other machines: FTP, FTPS
// and SFTP servers for publishing, HTTP and HTTPS servers for downloads and
// the update check. Abstract so that tests can script any answer or failure;
// the real implementation is CurlNetwork, over libcurl.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pagorin {

// ---- FTP, FTPS and SFTP (publishing) ----

// The outcome of one network call: code 0 is success; otherwise the
// transport's error number (libcurl's result code) and a text, which is the
// server's last reply line when the server refused a command, else the
// transport's own message for the number.
struct NetResult {
  int code = 0;
  std::string message;
  bool ok() const { return code == 0; }
};

// How to reach a file server. `server` is "host", "host:port" or an address
// whose scheme picks the protocol: "ftp://" (also when there is none),
// "ftps://" (FTP with explicit TLS) or "sftp://".
struct FtpLogin {
  std::string server;
  std::string user;
  std::string password;
  bool passive = false;  // active mode unless asked
  enum class Proxy { kNone, kSystem, kNamed } proxy = Proxy::kNone;
  std::string proxy_address;  // "host:port", for kNamed
  std::string proxy_user;
  std::string proxy_password;
  // A connect, a reply or a data transfer that makes no progress for this
  // long fails the call.
  std::chrono::milliseconds timeout = std::chrono::seconds(30);
  // Certificate authorities (a PEM file) trusted for FTPS instead of the
  // system's; SSH known-hosts file checked for SFTP. Empty: the defaults.
  std::string ca_file;
  std::string known_hosts;
};

// One entry of a remote folder listing.
struct FtpListEntry {
  std::string name;
  bool is_directory = false;
  std::int64_t size = 0;
};

// One logged-in connection. Names without a leading "/" are relative to the
// current folder, which starts at the login folder.
class FtpConnection {
 public:
  virtual ~FtpConnection() = default;

  // Makes `folder` the current folder; fails, keeping the old one, when the
  // server cannot change into it.
  virtual NetResult ChangeDirectory(const std::string& folder) = 0;
  // The current folder, "/" for the login folder.
  virtual std::string CurrentDirectory() const = 0;
  // Stores a file under `name` (replacing it). `read` hands out the bytes: it
  // fills at most `size` bytes of `buffer` and returns how many; 0 ends the
  // file and kAbort abandons the transfer. The file is complete on the
  // server when the result is ok.
  using Reader = std::function<std::size_t(char* buffer, std::size_t size)>;
  virtual NetResult Put(const std::string& name, bool binary, const Reader& read) = 0;
  // Fetches a file; `write` takes the bytes piece by piece and returns false
  // to abort.
  using Writer = std::function<bool(std::string_view bytes)>;
  virtual NetResult Get(const std::string& name, bool binary, const Writer& write) = 0;
  // The size in bytes; kNotFound as the code when there is no such file.
  virtual NetResult Size(const std::string& name, std::int64_t* size) = 0;
  virtual NetResult Rename(const std::string& from, const std::string& to) = 0;
  virtual NetResult Delete(const std::string& name) = 0;
  virtual NetResult MakeDirectory(const std::string& folder) = 0;
  virtual NetResult RemoveDirectory(const std::string& folder) = 0;
  // The entries of the current folder, in the server's order.
  virtual NetResult List(std::vector<FtpListEntry>* entries) = 0;

  // The code Size gives for a missing file (libcurl's "remote file not found").
  static constexpr int kNotFound = 78;
  // What a Reader returns to abandon a transfer (libcurl's own value).
  static constexpr std::size_t kAbort = 0x10000000;
};

class Network {
 public:
  virtual ~Network() = default;

  // ---- FTP, FTPS and SFTP (publishing) ----

  // Connects and logs in. On failure the result says why and *connection
  // is null.
  virtual NetResult OpenFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) = 0;

  // ---- HTTP and HTTPS (downloads, update check) ----
};

}  // namespace pagorin
