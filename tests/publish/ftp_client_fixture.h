// The FTP client over libcurl for the tests against real servers on
// 127.0.0.1: the served folder, and the client's progress and error events
// recorded as "progress CURRENT/TOTAL" and "error NUMBER TEXT".
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "publish/cls_ftp.h"
#include "shared/curl_network.h"
#include "shared/settings.h"
#include "support/test_env.h"

namespace pagorin::testing {

class FtpClientTest : public ::testing::Test {
 protected:
  FtpClientTest() {
    ftp.FileTransferProgress = [this](std::int32_t current, std::int32_t total) {
      events.push_back("progress " + std::to_string(current) + "/" + std::to_string(total));
    };
    ftp.FileTransferError = [this](const std::string& text, std::int32_t number) {
      events.push_back("error " + std::to_string(number) + " " + text);
    };
  }

  std::string Served(const std::string& relative) const { return t.Path("server/" + relative); }
  // The listing as "NAME folder" or "NAME file of SIZE", sorted.
  std::vector<std::string> Listing(const std::string& pattern) {
    std::vector<std::string> seen;
    if (const cDirList* listing = ftp.GetDirectoryListing(pattern)) {
      for (const cDirItem& item : *listing) {
        seen.push_back(item.Filename +
                       (item.Directory ? " folder" : " file of " + std::to_string(item.FileSize)));
      }
    }
    std::sort(seen.begin(), seen.end());
    return seen;
  }

  TestEnv t;
  CurlNetwork curl;
  Env env{t.fs, t.clock, t.ui, t.log, t.locale, t.progress, t.paths, curl};
  cSHAREDSettings app_settings{env};
  clsFTP ftp{env, app_settings};
  std::vector<std::string> events;
};

}  // namespace pagorin::testing
