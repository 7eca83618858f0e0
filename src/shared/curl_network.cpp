#include "shared/curl_network.h"

#include <curl/curl.h>

namespace pagorin {

// libcurl's global state is set up once for the program's one network.
CurlNetwork::CurlNetwork() { curl_global_init(CURL_GLOBAL_DEFAULT); }

CurlNetwork::~CurlNetwork() { curl_global_cleanup(); }

}  // namespace pagorin
