// The proxy route as libcurl takes it, for FTP and HTTP handles alike.
#pragma once

#include <curl/curl.h>

#include "shared/network.h"

namespace pagorin {

// kSystem leaves libcurl to the *_proxy variables; kNone goes direct
// whatever they say; kNamed uses `server` for every host, with the user and
// password when a user is given, and goes direct when no server is named.
void ApplyProxyRoute(CURL* easy, const ProxyRoute& route);

}  // namespace pagorin
