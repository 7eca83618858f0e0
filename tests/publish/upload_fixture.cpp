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
  std::map<std::string, std::string> keys = {{"BASEURL", "ftp.example.com"},
                                             {"FTPLOGINNAME", "web"},
                                             {"FTPPASSWORD", Encrypt("secret")},
                                             {"FTPPATH", "/site/"},
                                             {"PROJECTPATH", "./"}};
  for (const std::string& change : changes) {
    const std::size_t comma = change.find(',');
    const std::string name = change.substr(0, comma);
    const std::string value = change.substr(comma + 1);
    if (value.empty()) {
      keys.erase(name);
    } else {
      keys[name] = value;
    }
  }
  std::string text;
  for (const auto& [name, value] : keys) {
    text += name + "," + value + "\r\n";
  }
  t.WriteFile(ProjectPath(), text);
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

std::vector<std::string> UploadTest::LogLines() const {
  std::vector<std::string> lines;
  if (!t.Exists(t.log.LogFilePath())) {
    return lines;
  }
  const std::string text = t.ReadFile(t.log.LogFilePath());
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    const std::size_t mark = line.find(" #1");
    const std::size_t message = line.find_first_not_of(' ', mark + 3);
    lines.push_back(message == std::string::npos ? "" : line.substr(message));
  }
  return lines;
}

std::vector<std::string> UploadTest::Captions() const {
  std::vector<std::string> captions;
  for (const StatusFrame& frame : t.ui.main_status) {
    captions.push_back(frame.caption);
  }
  return captions;
}

}  // namespace pagorin::testing
