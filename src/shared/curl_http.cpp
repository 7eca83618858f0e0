// HTTP and HTTPS transfers over libcurl's easy interface.
#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <string>

#include "shared/curl_network.h"
#include "shared/curl_proxy.h"

namespace pagorin {

namespace {

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

// What the callbacks share with the transfer.
struct Transfer {
  const HttpRequest& request;
  const HttpReceiver& receiver;
  std::uint64_t received = 0;
  bool too_large = false;
  bool refused_by_receiver = false;
  bool stopped = false;
  bool stalled = false;
  std::uint64_t last_received = 0;
  std::chrono::steady_clock::time_point last_progress = std::chrono::steady_clock::now();
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (transfer.request.max_bytes > 0 && transfer.received + bytes > transfer.request.max_bytes) {
    transfer.too_large = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  transfer.received += bytes;
  if (transfer.receiver.data && !transfer.receiver.data(std::string_view(data, bytes))) {
    transfer.refused_by_receiver = true;
    return 0;
  }
  return bytes;
}

// libcurl calls this at least about once a second, also while nothing
// arrives; that is where a transfer without progress is ended.
int OnProgress(void* user, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t) {
  auto& transfer = *static_cast<Transfer*>(user);
  const auto now = std::chrono::steady_clock::now();
  if (transfer.received != transfer.last_received) {
    transfer.last_received = transfer.received;
    transfer.last_progress = now;
  } else if (now - transfer.last_progress >= std::chrono::seconds(transfer.request.stall_seconds)) {
    transfer.stalled = true;
    return 1;
  }
  if (transfer.receiver.progress &&
      !transfer.receiver.progress(static_cast<std::uint64_t>(received),
                                  static_cast<std::uint64_t>(expected))) {
    transfer.stopped = true;
    return 1;  // CURLE_ABORTED_BY_CALLBACK
  }
  return 0;
}

}  // namespace

HttpResult CurlNetwork::HttpGet(const HttpRequest& request, const HttpReceiver& receiver) {
  HttpResult result;
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) {
    result.error = "The HTTP library could not be started";
    return result;
  }
  Transfer transfer{request, receiver};
  char error_text[CURL_ERROR_SIZE] = {};
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, error_text);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  // A redirect never leads to plain HTTP: what a server of this computer
  // may send, a server it points to may not.
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!request.ca_file.empty()) {
    curl_easy_setopt(e, CURLOPT_CAINFO, request.ca_file.c_str());
  }
  curl_easy_setopt(e, CURLOPT_USERAGENT, "Pagorin");
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.connect_seconds));
  if (request.max_bytes > 0) {
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.max_bytes));
  }
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnData);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  ApplyProxyRoute(e, request.proxy);

  const CURLcode code = curl_easy_perform(e);
  curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &result.status);
  curl_off_t length = -1;
  curl_easy_getinfo(e, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  result.expected_size = length > 0 ? static_cast<std::uint64_t>(length) : 0;
  result.received = transfer.received;
  if (code == CURLE_OK) {
    result.outcome = HttpOutcome::kDone;
    return result;
  }
  if (transfer.too_large || code == CURLE_FILESIZE_EXCEEDED) {
    result.outcome = HttpOutcome::kTooLarge;
    result.error = "The answer is longer than " + std::to_string(request.max_bytes) + " bytes";
  } else if (transfer.stopped) {
    result.outcome = HttpOutcome::kStopped;
    result.error = "Transfer stopped";
  } else if (transfer.stalled || code == CURLE_OPERATION_TIMEDOUT) {
    result.outcome = HttpOutcome::kTimedOut;
    result.error = "Transfer timed out";
  } else if (code == CURLE_PARTIAL_FILE) {
    result.outcome = HttpOutcome::kTruncated;
    result.error = "The connection ended after " + std::to_string(transfer.received) + " of " +
                   std::to_string(result.expected_size) + " bytes";
  } else {
    result.outcome = HttpOutcome::kFailed;
    result.error = error_text[0] != '\0' ? error_text : curl_easy_strerror(code);
  }
  if (transfer.refused_by_receiver) {
    result.outcome = HttpOutcome::kFailed;
    result.error = "The received data could not be kept";
  }
  return result;
}

bool CurlNetwork::HttpsAvailable() const {
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  return info != nullptr && (info->features & CURL_VERSION_SSL) != 0;
}

}  // namespace pagorin
