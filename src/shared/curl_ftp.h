// FTP, FTPS (explicit TLS) and SFTP connections over libcurl.
#pragma once

#include <memory>

#include "shared/network.h"

namespace pagorin {

// Logs in with a fresh libcurl handle; the handle keeps the control
// connection open between calls, so one login serves a whole upload run.
NetResult OpenCurlFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection);

}  // namespace pagorin
