// Loading must give exactly what the slow, obvious procedure gives: insert
// line by line after a binary search, then a bidirectional bubble sort.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "shared/settings.h"
#include "shared/text.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using Entry = std::pair<std::string, std::string>;  // name, value text

// Binary search with the two early probes; 1-based positions.
int Present(const std::vector<Entry>& list, const std::string& name, int* insert_at) {
  if (list.empty()) {
    *insert_at = 0;
    return -1;
  }
  int low = 1, high = static_cast<int>(list.size()), mid = 0;
  bool found = list[0].first == name || list[high - 1].first == name;
  mid = list[0].first == name ? 1 : high;
  while (low <= high && !found) {
    mid = (low + high) / 2;
    if (list[mid - 1].first == name) {
      found = true;
    } else if (list[mid - 1].first > name) {
      high = mid - 1;
    } else {
      low = mid + 1;
    }
  }
  *insert_at = found || !(list[mid - 1].first > name) ? mid + 1 : mid;
  return found ? mid : -1;
}

std::vector<Entry> LiteralLoad(const std::string& text) {
  std::vector<Entry> list;
  std::string previous;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find("\r\n", start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) {
      previous.clear();
      continue;
    }
    const std::string name = line.substr(0, comma);
    std::string value = line.substr(comma + 1);
    const std::string word = UCase(Trim(value));
    value = word == "TRUE" ? "True" : word == "FALSE" ? "False" : value;
    const bool skip = name == UCase(Trim(previous)) || Trim(name).empty();
    previous = name;
    if (skip) {
      continue;
    }
    int insert_at = 0;
    const int found = Present(list, name, &insert_at);
    if (found > 0) {
      list[found - 1].second = value;
    } else if (insert_at != 0 && insert_at <= static_cast<int>(list.size())) {
      list.insert(list.begin() + (insert_at - 1), {name, value});
    } else {
      list.push_back({name, value});
    }
  }
  for (int low = 1, high = static_cast<int>(list.size()), sorted = 0; !sorted;) {
    sorted = 1;
    for (int i = low; i <= high - 1; ++i) {
      if (list[i - 1].first > list[i].first) {
        std::swap(list[i - 1], list[i]);
        sorted = 0;
      }
    }
    ++low;
    for (int i = high; i >= low; --i) {
      if (list[i - 1].first < list[i - 2].first) {
        std::swap(list[i - 1], list[i - 2]);
        sorted = 0;
      }
    }
    --high;
  }
  return list;
}

TEST(SettingsOrderTest, LoadMatchesInsertionAndBubbleSortOnRandomLines) {
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
    std::vector<Entry> loaded;
    for (const cSHAREDSetting& entry : store.entries()) {
      loaded.emplace_back(entry.KeyName, entry.KeyValue.Text());
    }
    ASSERT_EQ(LiteralLoad(text), loaded) << text;
  }
}

}  // namespace
}  // namespace pagorin
