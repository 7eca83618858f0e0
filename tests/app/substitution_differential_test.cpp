// The variable substitution against the plain walk over every variable of a
// settings store holding the same definitions: identical bytes on thousands of random pieces, and a
// cost that does not grow with the number of variables defined.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "app/template_variables.h"
#include "app/variable_substitution.h"
#include "shared/settings.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

// The substitution as first written: every variable in store order; when
// the piece holds "[name]" in any letter case (ASCII letters folded), every
// such text is replaced, left to right, by the value.
std::string WalkEveryVariable(std::string piece, const cSHAREDSettings& vars) {
  const auto same = [](char a, char b) {
    return (a >= 'a' && a <= 'z' ? a - 32 : a) == (b >= 'a' && b <= 'z' ? b - 32 : b);
  };
  for (int i = 1; i <= vars.SettingsCount(); ++i) {
    const std::string name = vars.SettingNameByIndex(i);
    const std::string pattern = "[" + name + "]";
    const std::string value = vars.sGet(name).Text();
    std::string result;
    auto from = piece.cbegin();
    for (auto at = std::search(from, piece.cend(), pattern.begin(), pattern.end(), same);
         at != piece.cend();
         at = std::search(from, piece.cend(), pattern.begin(), pattern.end(), same)) {
      result.append(from, at).append(value);
      from = at + static_cast<std::ptrdiff_t>(pattern.size());
    }
    piece = result.append(from, piece.cend());
  }
  return piece;
}

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  // Names from a small alphabet so that pieces hit them often; never "]",
  // which ends a definition.
  std::string Name() {
    static const char* const kParts[] = {"a", "b", "ab", "B", "c", "x y", "[a", ",", "é", ""};
    std::string name;
    for (int n = 1 + Below(2); n > 0; --n) {
      name += kParts[Below(10)];
    }
    return name;
  }

  std::string Text(bool with_brackets) {
    static const char* const kPlain[] = {"a", "b", "A", "ab", "c", " ", "x y", "é", "True", "-"};
    static const char* const kMarked[] = {"[",     "]",  "[a]", "[AB]",  "[b]", "[[a]]",
                                          "[x y]", "[c", "a]",  "[a,b]", "[]",  "[é]"};
    std::string text;
    for (int n = Below(12); n > 0; --n) {
      text += with_brackets && Below(2) == 0 ? kMarked[Below(12)] : kPlain[Below(10)];
    }
    return text;
  }

  std::string Value(bool with_brackets) {
    const int kind = Below(6);
    return kind == 0 ? " true " : kind == 1 ? "FALSE" : Text(with_brackets);
  }

 private:
  std::mt19937 random_;
};

TEST(SubstitutionDifferential, SameBytesAsWalkingEveryVariable) {
  TestEnv t;
  Generator generate(20240307);
  int changed = 0;
  for (int round = 0; round < 5000; ++round) {
    TemplateVariables vars(t.env);
    cSHAREDSettings store(t.env);  // the same definitions in a settings store
    // Half the rounds keep to the usual shape: brackets only around names,
    // values without brackets.
    const bool usual = round % 2 == 0;
    for (int n = generate.Below(8); n > 0; --n) {
      const std::string name = generate.Name();
      const std::string value = generate.Value(!usual);
      vars.sSet(name, value);
      store.sSet(name, value);
    }
    std::string piece;
    if (usual) {
      for (int n = generate.Below(6); n > 0; --n) {
        piece += generate.Text(false) + "[" + generate.Name() + "]";
      }
    } else {
      piece = generate.Text(true) + generate.Text(true);
    }
    const std::string expected = WalkEveryVariable(piece, store);
    std::string result;
    if (SubstituteVariables(piece, vars, &result)) {
      ++changed;
    } else {
      result = piece;
    }
    ASSERT_EQ(expected, result) << "round " << round << ", piece \"" << piece << "\"";
  }
  EXPECT_GT(changed, 1000);  // the inputs do exercise the replacing
}

TEST(SubstitutionDifferential, CostDoesNotGrowWithTheVariablesDefined) {
  TestEnv t;
  TemplateVariables vars(t.env);
  char name[16];
  for (int i = 0; i < 100000; ++i) {
    std::snprintf(name, sizeof name, "V%06d", i);
    vars.sSet(name, "value " + std::to_string(i));
  }
  const std::string piece = "<p>[v000001] and [V099999], not [nothing] or [v1]</p>";
  const auto start = std::chrono::steady_clock::now();
  std::string result;
  for (int i = 0; i < 5000; ++i) {
    ASSERT_TRUE(SubstituteVariables(piece, vars, &result));
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ("<p>value 1 and value 99999, not [nothing] or [v1]</p>", result);
  // Walking the 100,000 names for each of the 5,000 pieces would take minutes.
  EXPECT_LT(elapsed, std::chrono::seconds(5));
}

}  // namespace
}  // namespace pagorin::testing
