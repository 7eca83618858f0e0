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

// ---- Both protocols ----

// The values of the program setting ProxyType.
enum class ProxyType { kSystem = 0, kNone = 1, kNamed = 2 };

// How a connection reaches its server: through the system's proxy (the
// http_proxy, https_proxy, ftp_proxy and no_proxy variables), directly, or
// through the named proxy `server` for every host.
struct ProxyRoute {
  ProxyType type = ProxyType::kNone;
  std::string server;  // "host:port" for kNamed; empty: direct
  std::string user;    // kNamed only
  std::string password;
  bool operator==(const ProxyRoute&) const = default;
};

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
  ProxyRoute proxy;
  // A connect, a reply or a data transfer that makes no progress for this
  // long fails the call.
  std::chrono::milliseconds timeout = std::chrono::seconds(30);
  // Certificate authorities (a PEM file) trusted for FTPS instead of the
  // system's; SSH known-hosts file checked for SFTP. Empty: the defaults.
  std::string ca_file;
  std::string known_hosts;
  // A private key file that logs in to an SFTP server instead of the
  // password (its public half is worked out from it). Empty: no key.
  std::string key_file;
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

// ---- HTTP and HTTPS (downloads, update check) ----

struct HttpRequest {
  std::string url;
  ProxyRoute proxy;
  std::string ca_file;          // trusted certificate authorities (PEM); empty: the system's
  std::uint64_t max_bytes = 0;  // a longer body ends the transfer; 0: no limit
  int stall_seconds = 60;       // this long without a byte ends the transfer
  int connect_seconds = 30;
};

// Where a transfer's body and progress go. `data` returning false ends the
// transfer as failed; `progress` (bytes so far, announced length or 0) is
// called at least once a second and returning false stops it.
struct HttpReceiver {
  std::function<bool(std::string_view data)> data;
  std::function<bool(std::uint64_t received, std::uint64_t expected)> progress;
};

enum class HttpOutcome {
  kDone,       // the whole body arrived
  kTruncated,  // the connection ended before the announced length
  kTimedOut,   // no byte for stall_seconds: "Transfer timed out"
  kTooLarge,   // more than max_bytes
  kStopped,    // the receiver said stop
  kFailed,     // anything else: no connection, refused certificate, ...
};

struct HttpResult {
  HttpOutcome outcome = HttpOutcome::kFailed;
  long status = 0;                  // the HTTP status code; 0 when none came
  std::uint64_t expected_size = 0;  // the announced length; 0 when unknown
  std::uint64_t received = 0;
  std::string error;  // empty when done; a one-line reason otherwise

  bool done() const { return outcome == HttpOutcome::kDone; }
};

class Network {
 public:
  virtual ~Network() = default;

  // ---- FTP, FTPS and SFTP (publishing) ----

  // Connects and logs in. On failure the result says why and *connection
  // is null.
  virtual NetResult OpenFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) = 0;

  // ---- HTTP and HTTPS (downloads, update check) ----

  // One GET request. The body goes to `receiver` piece by piece; whatever
  // the server answers, an error page too, is a finished transfer whose
  // `status` tells the HTTP code. Runs on the calling thread.
  virtual HttpResult HttpGet(const HttpRequest& request, const HttpReceiver& receiver) = 0;
  // False when HTTPS cannot be used at all (a library built without TLS).
  virtual bool HttpsAvailable() const = 0;
};

}  // namespace pagorin
