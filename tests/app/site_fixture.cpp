#include "site_fixture.h"

#include <algorithm>
#include <filesystem>

#include "app/build_driver.h"
#include "app/project.h"

namespace pagorin::testing {

SiteTest::SiteTest() {
  std::filesystem::create_directories(Site("Templates"));
  std::filesystem::create_directories(Site("Includes"));
}

void SiteTest::OpenSite(std::vector<std::string> lines) {
  if (std::none_of(lines.begin(), lines.end(),
                   [](const std::string& line) { return line.rfind("PROJECTPATH,", 0) == 0; })) {
    lines.push_back("PROJECTPATH,./");
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\r\n";
  }
  t.WriteFile(ProjectPath(), text);
  engine.ProjectFile = ProjectPath();
  ASSERT_TRUE(OpenProject(engine));
}

void SiteTest::Select(const std::vector<std::string>& tags) {
  RefreshTemplateList(engine);
  engine.ListView1.ClearSelection();
  for (int i = 0; i < engine.ListView1.count(); ++i) {
    if (std::find(tags.begin(), tags.end(), engine.ListView1.at(i).tag) != tags.end()) {
      engine.ListView1.SetSelected(i, true);
    }
  }
}

std::string SiteTest::Ring() const {
  // Each record reads " >> n: message - HH:MM:SS" and ends in CR LF.
  std::string messages;
  const std::string ring = t.log.RingText();
  for (size_t start = 0; start < ring.size();) {
    size_t end = ring.find("\r\n", start);
    if (end == std::string::npos) {
      end = ring.size();
    }
    const std::string line = ring.substr(start, end - start);
    start = end + 2;
    const size_t colon = line.find(": ");
    const size_t dash = line.rfind(" - ");
    if (colon != std::string::npos && dash != std::string::npos && dash > colon) {
      messages += line.substr(colon + 2, dash - colon - 2) + "\n";
    }
  }
  return messages;
}

bool SiteTest::BuildAll() {
  return BuildPages(engine, /*selected_only=*/false);
}

}  // namespace pagorin::testing
