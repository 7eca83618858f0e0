#include "publish/upload_fixture.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/project.h"
#include "shared/scramble.h"

namespace pagorin::testing {

UploadTest::UploadTest() {
  std::filesystem::create_directories(Site("Templates"));
  std::filesystem::create_directories(Site("Includes"));
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
  t.WriteFile(ProjectPath(), ProjectText({"BASEURL,ftp.example.com", "FTPLOGINNAME,web",
                                          "FTPPASSWORD," + Encrypt("secret"), "FTPPATH,/site/"},
                                         changes));
  engine.ProjectFile = ProjectPath();
  ASSERT_TRUE(OpenProject(engine));
  std::filesystem::remove(t.log.LogFilePath());  // only the upload's lines count
}

void UploadTest::Select(const std::vector<std::string>& tags) {
  engine.ListView1.ClearSelection();
  for (int i = 0; i < engine.ListView1.count(); ++i) {
    if (std::find(tags.begin(), tags.end(), engine.ListView1.at(i).tag) != tags.end()) {
      engine.ListView1.SetSelected(i, true);
    }
  }
}

std::vector<std::string> UploadTest::Captions() const {
  std::vector<std::string> captions;
  for (const StatusFrame& frame : t.ui.main_status) {
    captions.push_back(frame.caption);
  }
  return captions;
}

}  // namespace pagorin::testing
