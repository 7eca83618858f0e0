#include "update/proxy_settings.h"

#include <cstdint>

#include "shared/log.h"
#include "shared/settings.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

// ProxyType as the dialog's option buttons know it; none for another number.
std::optional<ProxyType> StoredProxyType(const cSHAREDSettings& app_settings) {
  switch (GetAppSettingWithDefault(app_settings, "ProxyType", 1).AsNumber(-1)) {
    case 0:
      return ProxyType::kSystem;
    case 1:
      return ProxyType::kNone;
    case 2:
      return ProxyType::kNamed;
    default:
      return std::nullopt;
  }
}

}  // namespace

ProxySettingsFields LoadProxySettings(const cSHAREDSettings& app_settings) {
  ProxySettingsFields fields;
  fields.choice = StoredProxyType(app_settings);
  fields.txtPort = GetAppSetting(app_settings, "ProxyPort").Text();
  fields.txtServer = GetAppSetting(app_settings, "ProxyServer").Text();
  fields.txtUser = GetAppSetting(app_settings, "ProxyUser").Text();
  fields.txtPassword = GetAppSetting(app_settings, "ProxyPwd").Text();
  fields.txtPassword2 = fields.txtPassword;
  return fields;
}

bool StoreProxySettings(Env& env, cSHAREDSettings& app_settings,
                        const ProxySettingsFields& fields) {
  if (fields.txtPassword != fields.txtPassword2) {
    env.ui.ShowMessage("Your passwords don't match.  Please retype them.", Buttons::kOk);
    return false;
  }
  StoreAppSetting(app_settings, "ProxyServer", fields.txtServer);
  StoreAppSetting(app_settings, "ProxyPort", fields.txtPort);
  StoreAppSetting(app_settings, "ProxyUser", fields.txtUser);
  StoreAppSetting(app_settings, "ProxyPwd", fields.txtPassword);
  const ProxyType type = fields.choice.value_or(ProxyType::kNone);
  StoreAppSetting(app_settings, "ProxyType", static_cast<int>(type));
  return true;
}

ProxyRoute ProxyRouteFromSettings(const cSHAREDSettings& app_settings) {
  ProxyRoute route;
  route.type = StoredProxyType(app_settings).value_or(ProxyType::kNone);
  if (route.type == ProxyType::kNamed) {
    const std::string server = GetAppSetting(app_settings, "ProxyServer").Text();
    const std::string port = GetAppSetting(app_settings, "ProxyPort").Text();
    if (!server.empty() && !port.empty()) {
      route.server = server + ":" + port;
    }
    route.user = GetAppSetting(app_settings, "ProxyUser").Text();
    route.password = GetAppSetting(app_settings, "ProxyPwd").Text();
  }
  return route;
}

ProxyRoute ApplyProxySettings(Env& env, const cSHAREDSettings& app_settings) {
  const ProxyRoute route = ProxyRouteFromSettings(app_settings);
  const std::int64_t stored = GetAppSettingWithDefault(app_settings, "ProxyType", 1).AsNumber(1);
  env.log.LogEvent("Proxy set to: " + std::to_string(stored) + " " + route.server);
  if (route.type == ProxyType::kNamed) {
    env.log.LogEvent("Proxy username/password set");
  }
  return route;
}

}  // namespace pagorin
