// FTP, FTPS (explicit TLS) and SFTP connections over libcurl.
#pragma once

#include <memory>
#include <string_view>

#include "shared/network.h"

namespace pagorin {

// Logs in with a fresh libcurl handle; the handle keeps the control
// connection open between calls, so one login serves a whole upload run.
NetResult OpenCurlFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection);

// One line of a Unix-style listing ("-rw-r--r-- 1 owner group 512 Mar 07
// 14:35 name"); false for a line that is no entry, or names "." or "..".
bool ParseListLine(std::string_view line, FtpListEntry* entry);

}  // namespace pagorin
