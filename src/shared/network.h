// The one door through which the engine reaches other machines: FTP, FTPS
// and SFTP servers for publishing, HTTP and HTTPS servers for downloads and
// the update check. Abstract so that tests can script any answer or failure;
// the real implementation is CurlNetwork, over libcurl.
#pragma once

namespace pagorin {

class Network {
 public:
  virtual ~Network() = default;

  // ---- FTP, FTPS and SFTP (publishing) ----

  // ---- HTTP and HTTPS (downloads, update check) ----
};

}  // namespace pagorin
