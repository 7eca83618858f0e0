#include "shared/curl_network.h"

#include <curl/curl.h>

#include "shared/curl_ftp.h"

namespace pagorin {

// libcurl's global state is set up once for the program's one network.
CurlNetwork::CurlNetwork() { curl_global_init(CURL_GLOBAL_DEFAULT); }

CurlNetwork::~CurlNetwork() { curl_global_cleanup(); }

// ---- FTP, FTPS and SFTP (publishing) ----

NetResult CurlNetwork::OpenFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) {
  return OpenCurlFtp(login, connection);
}

}  // namespace pagorin
