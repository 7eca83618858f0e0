#include "publish/upload_fixture.h"

#include <filesystem>

#include "shared/scramble.h"

namespace pagorin::testing {

UploadTest::UploadTest() {
  server().folders.insert("site");
  server().folders.insert("site/images");
}

void UploadTest::WritePages(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    t.WriteFile(Site("Templates/" + name + ".template"), "template " + name);
    t.WriteFile(Site(name + ".html"), "page " + name);
  }
}

void UploadTest::OpenSite(const std::vector<std::string>& changes) {
  SiteTest::OpenSite({"BASEURL,ftp.example.com", "FTPLOGINNAME,web",
                      "FTPPASSWORD," + Encrypt("secret"), "FTPPATH,/site/"},
                     changes);
  std::filesystem::remove(t.log.LogFilePath());  // only the upload's lines count
}

}  // namespace pagorin::testing
