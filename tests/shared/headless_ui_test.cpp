#include "shared/headless_ui.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/test_env.h"

namespace pagorin {
namespace {

// Runs the body with PATH holding only `folder`, then puts PATH back.
class PathOnlyIn {
 public:
  explicit PathOnlyIn(const std::string& folder) : saved_(getenv("PATH")) {
    setenv("PATH", folder.c_str(), 1);
  }
  ~PathOnlyIn() { setenv("PATH", saved_.c_str(), 1); }

 private:
  std::string saved_;
};

TEST(HeadlessOpenDocument, StartsXdgOpenDetachedWithThePath) {
  testing::TestEnv t;
  const std::string opened = t.Path("opened.txt");
  t.WriteFile(t.Path("bin/xdg-open"), "#!/bin/sh\nprintf '%s' \"$1\" > '" + opened + "'\n");
  ASSERT_EQ(0, ::chmod(t.Path("bin/xdg-open").c_str(), 0755));
  HeadlessUi ui(stderr);
  {
    PathOnlyIn path(t.Path("bin"));
    EXPECT_TRUE(ui.OpenDocument("/site/my page.html"));
  }
  for (int i = 0; i < 200 && t.ReadFile(opened).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ("/site/my page.html", t.ReadFile(opened));

  PathOnlyIn path(t.Path("empty"));
  EXPECT_FALSE(ui.OpenDocument("/site/index.html"));
}

}  // namespace
}  // namespace pagorin
