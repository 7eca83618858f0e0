// A site with its pages generated and a project whose FTP settings point at
// the scripted server, for the tests of the upload driver.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine.h"
#include "support/test_env.h"

namespace pagorin::testing {

class UploadTest : public ::testing::Test {
 protected:
  UploadTest();

  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }
  std::string ProjectPath() const { return Site("site.pgx"); }

  // Writes a template and its generated page for each name ("a" gives
  // Templates/a.template and a.html holding "page a").
  void WritePages(const std::vector<std::string>& names);
  // Writes the project file: the FTP settings (BaseURL ftp.example.com,
  // FTPLoginName web, FTPPassword "secret" scrambled, FTPPath /site/) with
  // `changes` applied ("NAME,value" replaces or adds; "NAME," removes), then
  // opens it and fills the list. The log starts empty after it.
  void OpenSite(const std::vector<std::string>& changes = {});
  // Selects exactly the templates named (by tag).
  void Select(const std::vector<std::string>& tags);

  std::vector<std::string> LogLines() const { return LogMessages(t); }
  // The captions the main status strip showed, in order.
  std::vector<std::string> Captions() const;

  ScriptedFtpServer& server() { return t.net.ftp; }

  TestEnv t;
  Engine engine{t.env};
};

}  // namespace pagorin::testing
