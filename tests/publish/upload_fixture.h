// A site with its pages generated and a project whose FTP settings point at
// the scripted server, for the tests of the upload driver.
#pragma once

#include <string>
#include <vector>

#include "support/site_fixture.h"

namespace pagorin::testing {

class UploadTest : public SiteTest {
 protected:
  UploadTest();

  // Writes a template and its generated page for each name ("a" gives
  // Templates/a.template and a.html holding "page a").
  void WritePages(const std::vector<std::string>& names);
  // Writes the project file: the FTP settings (BaseURL ftp.example.com,
  // FTPLoginName web, FTPPassword "secret" scrambled, FTPPath /site/) with
  // `changes` applied ("NAME,value" replaces or adds; "NAME," removes), then
  // opens it and fills the list. The log starts empty after it.
  void OpenSite(const std::vector<std::string>& changes = {});
  std::vector<std::string> LogLines() const { return LogMessages(t); }

  ScriptedFtpServer& server() { return t.net.ftp; }
};

}  // namespace pagorin::testing
