// A network for tests: nothing leaves the machine; each call answers as the
// test scripted it and is recorded.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "shared/network.h"
#include "support/scripted_ftp.h"

namespace pagorin::testing {

class ScriptedNetwork : public Network {
 public:
  // ---- FTP, FTPS and SFTP (publishing) ----

  // The one FTP server this network reaches, whatever the address.
  ScriptedFtpServer ftp;
  NetResult OpenFtp(const FtpLogin& login, std::unique_ptr<FtpConnection>* connection) override {
    return ftp.Open(login, connection);
  }

  // ---- HTTP and HTTPS (downloads, update check) ----

  // The answer to a GET of one address: the body is handed over in one
  // piece, then `result` is returned as it stands. An address without an
  // answer fails as an unknown host would.
  struct HttpAnswer {
    std::string body;
    HttpResult result{HttpOutcome::kDone, 200, 0, 0, ""};
  };
  void ScriptHttp(const std::string& url, HttpAnswer answer) {
    answer.result.received = answer.body.size();
    http_answers[url] = std::move(answer);
  }

  HttpResult HttpGet(const HttpRequest& request, const HttpReceiver& receiver) override {
    http_requests.push_back(request);
    const auto found = http_answers.find(request.url);
    if (found == http_answers.end()) {
      return HttpResult{HttpOutcome::kFailed, 0, 0, 0, "Could not resolve host"};
    }
    const HttpAnswer& answer = found->second;
    if (receiver.progress && !receiver.progress(0, answer.result.expected_size)) {
      return HttpResult{HttpOutcome::kStopped, 0, 0, 0, "Transfer stopped"};
    }
    if (receiver.data && !answer.body.empty() && !receiver.data(answer.body)) {
      return HttpResult{HttpOutcome::kFailed, answer.result.status, 0, 0,
                        "The received data could not be kept"};
    }
    return answer.result;
  }
  bool HttpsAvailable() const override { return https_available; }

  std::map<std::string, HttpAnswer> http_answers;
  std::vector<HttpRequest> http_requests;
  bool https_available = true;
};

}  // namespace pagorin::testing
