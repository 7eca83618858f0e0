// The proxy dialog's keys in the program settings.
#include "update/proxy_settings.h"

#include <gtest/gtest.h>

#include "shared/settings.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

class ProxySettingsTest : public ::testing::Test {
 protected:
  TestEnv t;
  cSHAREDSettings app{t.env};
};

TEST_F(ProxySettingsTest, ProxyTypeChoosesTheOptionButton) {
  const struct {
    const char* stored;  // nullptr: no ProxyType key
    std::optional<ProxyType> choice;
  } cases[] = {
      {nullptr, ProxyType::kNone}, {"0", ProxyType::kSystem}, {"1", ProxyType::kNone},
      {"2", ProxyType::kNamed},    {"3", std::nullopt},       {"manual", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored == nullptr ? "absent" : c.stored);
    app.DeleteAllSettings();
    if (c.stored != nullptr) {
      app.sSet("ProxyType", c.stored);
    }
    EXPECT_EQ(LoadProxySettings(app).choice, c.choice);
  }
}

TEST_F(ProxySettingsTest, PasswordFillsBothBoxes) {
  app.sSet("ProxyServer", "proxy.example");
  app.sSet("ProxyPort", "3128");
  app.sSet("ProxyUser", "anna");
  app.sSet("ProxyPwd", "pw 1");
  ProxySettingsFields expected;
  expected.txtServer = "proxy.example";
  expected.txtPort = "3128";
  expected.txtUser = "anna";
  expected.txtPassword = "pw 1";
  expected.txtPassword2 = "pw 1";
  EXPECT_EQ(LoadProxySettings(app), expected);
}

TEST_F(ProxySettingsTest, OkStoresEveryBoxAsTypedWhateverTheChoice) {
  ProxySettingsFields fields;
  fields.choice = ProxyType::kSystem;
  fields.txtServer = "proxy.example";
  fields.txtPort = "not a port";
  fields.txtPassword = fields.txtPassword2 = "pw";
  ASSERT_TRUE(StoreProxySettings(t.env, app, fields));
  EXPECT_EQ(app.sGet("ProxyType").Text(), "0");
  EXPECT_EQ(app.sGet("ProxyServer").Text(), "proxy.example");
  EXPECT_EQ(app.sGet("ProxyPort").Text(), "not a port");
  EXPECT_EQ(app.sGet("ProxyUser").Text(), "");
  EXPECT_EQ(app.sGet("ProxyPwd").Text(), "pw");

  fields.choice.reset();
  ASSERT_TRUE(StoreProxySettings(t.env, app, fields));
  EXPECT_EQ(app.sGet("ProxyType").Text(), "1");
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(ProxySettingsTest, DifferentPasswordsAreRefusedAndNothingIsStored) {
  app.sSet("ProxyPwd", "old");
  ProxySettingsFields fields;
  fields.choice = ProxyType::kNamed;
  fields.txtServer = "proxy.example";
  fields.txtPassword = "secret";
  fields.txtPassword2 = "Secret";
  EXPECT_FALSE(StoreProxySettings(t.env, app, fields));
  EXPECT_EQ(t.ui.MessageTexts(),
            std::vector<std::string>{"Your passwords don't match.  Please retype them."});
  EXPECT_EQ(app.SettingsCount(), 1);
  EXPECT_EQ(app.sGet("ProxyPwd").Text(), "old");
}

}  // namespace
}  // namespace pagorin::testing
