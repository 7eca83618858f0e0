// Loading many random lines must give what the load rules give when applied
// one line at a time: adjacent repeats of a name skipped, blank names
// skipped, the last of non-adjacent repeats kept, true and false words made
// booleans. Names are unique in the store, so any correct sort gives the
// order of the bidirectional bubble sort the program first used.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "shared/settings.h"
#include "shared/text.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;  // name, value text

Entries LineByLine(const std::string& text) {
  std::map<std::string, std::string> store;
  std::string previous;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) {
      previous.clear();
      continue;
    }
    const std::string name = line.substr(0, comma), value = line.substr(comma + 1);
    const bool skip = name == UCase(Trim(previous)) || Trim(name).empty();
    previous = name;
    if (!skip) {
      const std::string word = UCase(Trim(value));
      store[name] = word == "TRUE" ? "True" : word == "FALSE" ? "False" : value;
    }
  }
  return Entries(store.begin(), store.end());
}

TEST(SettingsOrderTest, LoadFollowsTheRulesLineByLineOnRandomFiles) {
  const std::vector<std::string> pieces = {"A", "a", "B", "b", " ", "_", "1", "\xE9", ""};
  const std::vector<std::string> values = {"1", " true", "FALSE ", "x,y", "", "v"};
  std::mt19937 random(20240307);
  for (int round = 0; round < 20; ++round) {
    std::string text, line;
    for (int n = 0; n < 2000; ++n) {
      if (random() % 4 != 0 || line.empty()) {  // otherwise the line repeats
        std::string name;
        for (unsigned length = random() % 3; length > 0; --length) {
          name += pieces[random() % pieces.size()];
        }
        // Few names, so that most come back non-adjacent with another value.
        const std::string value =
            random() % 3 == 0 ? values[random() % values.size()] : "v" + std::to_string(n);
        line = random() % 20 == 0 ? name : name + "," + value;
      }
      text += line + "\r\n";
    }
    testing::TestEnv t;
    t.WriteFile(t.Path("s.ini"), text);
    cSHAREDSettings store(t.env);
    store.LoadSettings(t.Path("s.ini"));
    Entries loaded;
    for (const cSHAREDSetting& entry : store.entries()) {
      loaded.emplace_back(entry.KeyName, entry.KeyValue.Text());
    }
    ASSERT_EQ(LineByLine(text), loaded) << text;
  }
}

}  // namespace
}  // namespace pagorin
