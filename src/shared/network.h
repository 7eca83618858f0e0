// The one door through which the engine reaches other machines: FTP, FTPS
// and SFTP servers for publishing, HTTP and HTTPS servers for downloads and
// the update check. Abstract so that tests can script any answer or failure;
// the real implementation is CurlNetwork, over libcurl.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pagorin {

// ---- HTTP and HTTPS (downloads, update check) ----

// How a request reaches the server; the values of the program's ProxyType.
struct HttpProxy {
  int access_type = 1;  // 0 the system's http_proxy/https_proxy/no_proxy, 1 direct, 2 `server`
  std::string server;   // "host:port" for access type 2; empty: direct
  std::string user;     // access type 2 only
  std::string password;
  bool operator==(const HttpProxy&) const = default;
};

struct HttpRequest {
  std::string url;
  HttpProxy proxy;
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

  // ---- HTTP and HTTPS (downloads, update check) ----

  // One GET request. The body goes to `receiver` piece by piece; whatever
  // the server answers, an error page too, is a finished transfer whose
  // `status` tells the HTTP code. Runs on the calling thread.
  virtual HttpResult HttpGet(const HttpRequest& request, const HttpReceiver& receiver) = 0;
  // False when HTTPS cannot be used at all (a library built without TLS).
  virtual bool HttpsAvailable() const = 0;
};

}  // namespace pagorin
