// The template compiler on a small site: two templates and three includes
// (a.inc, b.inc, nav/c.inc) made of the input's parts, so includes nest,
// repeat and form cycles, and variables and dollar variables meet them.
// Part 5 is the site's address ($BASEURL), part 6 picks the character set.
// Whatever the parts hold, the project opens and the build ends, with its
// pages or with a message, without a crash, a hang or a leak.
#include <algorithm>
#include <filesystem>

#include "app/build_driver.h"
#include "app/engine.h"
#include "app/project.h"
#include "fuzz_env.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  std::vector<std::string> parts = fuzz::Parts(data, size, 7);
  fuzz::FuzzEnv t;
  const std::string site = t.Path("site/");
  std::filesystem::create_directories(site + "Includes/nav");
  t.WriteFile(site + "Templates/page.template", parts[0]);
  t.WriteFile(site + "Includes/a.inc", parts[1]);
  t.WriteFile(site + "Includes/b.inc", parts[2]);
  t.WriteFile(site + "Includes/nav/c.inc", parts[3]);
  t.WriteFile(site + "Templates/other.template", parts[4]);
  // One line of the project file: no control bytes inside.
  std::string& address = parts[5];
  address.erase(std::remove_if(address.begin(), address.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                address.end());
  const char* charset = parts[6].empty() ? "windows-1252" : "utf-8";
  t.WriteFile(site + "site.pgx", std::string("CHARSET,") + charset + "\r\nPROJECTPATH,./\r\n" +
                                     "WEBSITEURL," + address + "\r\n");

  Engine engine(t.env);
  engine.ProjectFile = site + "site.pgx";
  FUZZ_CHECK(OpenProject(engine));
  BuildPages(engine, /*selected_only=*/false);
  return 0;
}
