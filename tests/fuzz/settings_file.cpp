// The settings file: any bytes load, and saving a store and loading the file
// again gives its entries back as the file format keeps them: names
// upper-cased without commas, a name written twice in a row once, a blank
// name or one repeating the line before it (blanks around that one aside)
// skipped, a later repeat replacing the value, and values reading "True" or
// "False" (any case, blanks around) as booleans. Every other byte of names
// and values comes back as it was.
#include <map>

#include "fuzz_env.h"
#include "fuzz_input.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace {

using namespace pagorin;

// The entries a load of `store`'s saved file gives, by the rules above.
std::map<std::string, SettingValue> ExpectedAfterReload(const cSHAREDSettings& store) {
  std::map<std::string, SettingValue> expected;
  std::string written;
  for (const cSHAREDSetting& entry : store.entries()) {
    std::string name;
    for (const char c : UCase(entry.KeyName)) {
      if (c != ',') {
        name.push_back(c);
      }
    }
    if (name.empty() || name == written) {
      continue;
    }
    const bool skipped = TrimView(name).empty() || name == TrimView(written);
    written = name;
    if (!skipped) {
      expected[name] = entry.KeyValue;
    }
  }
  return expected;
}

void CheckRoundTrip(fuzz::FuzzEnv& t, cSHAREDSettings& store) {
  const std::map<std::string, SettingValue> expected = ExpectedAfterReload(store);
  const std::string path = t.Path("saved.ini");
  FUZZ_CHECK(store.SaveSettings(path));
  cSHAREDSettings reloaded(t.env);
  FUZZ_CHECK(reloaded.LoadSettings(path));
  FUZZ_CHECK(static_cast<std::size_t>(reloaded.SettingsCount()) == expected.size());
  auto want = expected.begin();
  for (const cSHAREDSetting& read : reloaded.entries()) {
    FUZZ_CHECK(read.KeyName == want->first);
    if (read.KeyValue.kind() == SettingValue::Kind::kBoolean) {
      FUZZ_CHECK(EqualsNoCase(TrimView(want->second.Text()), read.KeyValue.Text()));
    } else {
      FUZZ_CHECK(read.KeyValue.Text() == want->second.Text());
    }
    ++want;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzEnv t;
  const std::string path = t.Path("input.ini");
  t.WriteFile(path, fuzz::Text(data, size));

  cSHAREDSettings loaded(t.env);
  FUZZ_CHECK(loaded.LoadSettings(path));
  CheckRoundTrip(t, loaded);

  // The parts as names and values stored one by one, as the program stores
  // them; a numbered set on top.
  const std::vector<std::string> parts = fuzz::Parts(data, size, 2);
  cSHAREDSettings stored(t.env);
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    stored.StoreSetting(parts[i], parts[i + 1]);
    stored.AddToSet("S", parts[i + 1]);
  }
  if (parts.size() > 2) {
    stored.DeleteFromSetByValue("S", parts[1]);
  }
  CheckRoundTrip(t, stored);
  return 0;
}
