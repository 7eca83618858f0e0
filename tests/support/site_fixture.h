// A site on disk and an engine with a project open on it, for the tests of
// the compiler, the build driver, the project commands, the tools and the
// upload.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine.h"
#include "support/test_env.h"

namespace pagorin::testing {

// The site folder is root + "site/", holding Templates/ and Includes/; the
// project file is site/site.pgx with ProjectPath "./".
class SiteTest : public ::testing::Test {
 protected:
  SiteTest();

  std::string Site(const std::string& relative = "") const { return t.Path("site/" + relative); }
  std::string ProjectPath() const { return Site("site.pgx"); }

  void WriteTemplate(const std::string& name, const std::string& text) const {
    t.WriteFile(Site("Templates/" + name), text);
  }
  void WriteInclude(const std::string& name, const std::string& text) const {
    t.WriteFile(Site("Includes/" + name), text);
  }
  std::string Page(const std::string& name) const { return t.ReadFile(Site(name)); }
  std::string Template(const std::string& name) const {
    return t.ReadFile(Site("Templates/" + name));
  }
  std::string Include(const std::string& name) const {
    return t.ReadFile(Site("Includes/" + name));
  }
  bool PageExists(const std::string& name) const { return t.Exists(Site(name)); }

  // Writes the project file (ProjectText of `lines` and `changes`), then
  // opens it and fills the list.
  void OpenSite(std::vector<std::string> lines = {}, const std::vector<std::string>& changes = {});
  // Refills the list and selects exactly the templates named (by tag).
  void Select(const std::vector<std::string>& tags);
  // One build run of every template; its result.
  bool BuildAll();

  // The captions the main status strip showed, in order.
  std::vector<std::string> Captions() const;

  // The messages of the error ring, oldest first, each ending in "\n"
  // (without their numbers and times).
  std::string Ring() const;

  TestEnv t;
  Engine engine{t.env};
};

}  // namespace pagorin::testing
