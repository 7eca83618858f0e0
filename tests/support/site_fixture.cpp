#include "support/site_fixture.h"

#include <algorithm>
#include <filesystem>

#include "app/build_driver.h"
#include "app/project.h"
#include "support/ring_messages.h"

namespace pagorin::testing {

SiteTest::SiteTest() {
  std::filesystem::create_directories(Site("Templates"));
  std::filesystem::create_directories(Site("Includes"));
}

void SiteTest::OpenSite(std::vector<std::string> lines, const std::vector<std::string>& changes) {
  t.WriteFile(ProjectPath(), ProjectText(std::move(lines), changes));
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

std::vector<std::string> SiteTest::Captions() const {
  std::vector<std::string> captions;
  for (const StatusFrame& frame : t.ui.main_status) {
    captions.push_back(frame.caption);
  }
  return captions;
}

std::string SiteTest::Ring() const {
  return RingMessages(t.log);
}

bool SiteTest::BuildAll() {
  return BuildPages(engine, /*selected_only=*/false);
}

}  // namespace pagorin::testing
