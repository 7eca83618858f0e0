// The network as libcurl reaches it.
#pragma once

#include "shared/network.h"

namespace pagorin {

// Every transfer runs on the calling thread; nothing here shows anything.
class CurlNetwork : public Network {
 public:
  CurlNetwork();
  ~CurlNetwork() override;
  CurlNetwork(const CurlNetwork&) = delete;
  CurlNetwork& operator=(const CurlNetwork&) = delete;

  // ---- FTP, FTPS and SFTP (publishing) ----

  NetResult OpenFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) override;

  // ---- HTTP and HTTPS (downloads, update check) ----

  // In curl_http.cpp. Certificates are always verified; redirects are
  // followed (at most 5, and only to HTTPS addresses).
  HttpResult HttpGet(const HttpRequest& request, const HttpReceiver& receiver) override;
  bool HttpsAvailable() const override;
};

}  // namespace pagorin
