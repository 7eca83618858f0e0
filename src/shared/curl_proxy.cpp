#include "shared/curl_proxy.h"

namespace pagorin {

void ApplyProxyRoute(CURL* easy, const ProxyRoute& route) {
  if (route.type == ProxyType::kSystem) {
    return;
  }
  if (route.type == ProxyType::kNamed && !route.server.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXY, route.server.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  } else {
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
  }
  if (route.type == ProxyType::kNamed && !route.user.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, route.user.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, route.password.c_str());
  }
}

}  // namespace pagorin
