#include "tools_fixture.h"

#include <algorithm>
#include <filesystem>

#include "app/project.h"

namespace pagorin::testing {

ToolsSiteTest::ToolsSiteTest() {
  std::filesystem::create_directories(Site("Templates"));
  std::filesystem::create_directories(Site("Includes"));
}

void ToolsSiteTest::OpenSite(std::vector<std::string> lines) {
  t.WriteFile(Site("site.pgx"), ProjectText(std::move(lines)));
  engine.ProjectFile = Site("site.pgx");
  ASSERT_TRUE(OpenProject(engine));
}

void ToolsSiteTest::Select(const std::string& tag) {
  engine.ListView1.ClearSelection();
  for (int i = 0; i < engine.ListView1.count(); ++i) {
    engine.ListView1.SetSelected(i, engine.ListView1.at(i).tag == tag);
  }
}

}  // namespace pagorin::testing
