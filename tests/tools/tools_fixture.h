// A site with an open project for the maintenance tools' tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine.h"
#include "support/test_env.h"

namespace pagorin::testing {

// The site folder is root + "site/" holding Templates/ and Includes/; the
// project file is site/site.pgx with ProjectPath "./".
class ToolsSiteTest : public ::testing::Test {
 protected:
  ToolsSiteTest();

  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }
  void WriteTemplate(const std::string& name, const std::string& text) const {
    t.WriteFile(Site("Templates/" + name), text);
  }
  void WriteInclude(const std::string& name, const std::string& text) const {
    t.WriteFile(Site("Includes/" + name), text);
  }
  std::string Include(const std::string& name) const {
    return t.ReadFile(Site("Includes/" + name));
  }
  std::string Template(const std::string& name) const {
    return t.ReadFile(Site("Templates/" + name));
  }

  // Writes the project file from `lines` ("NAME,value", plus PROJECTPATH,./)
  // and opens it: the list is filled and its first entry selected.
  void OpenSite(std::vector<std::string> lines = {});
  // Selects exactly the template with this file name.
  void Select(const std::string& tag);

  TestEnv t;
  Engine engine{t.env};
};

}  // namespace pagorin::testing
