#include "update/proxy_settings.h"

#include "shared/log.h"
#include "shared/settings.h"
#include "shared/user_interface.h"

namespace pagorin {

ProxySettingsFields LoadProxySettings(const cSHAREDSettings& app_settings) {
  ProxySettingsFields fields;
  switch (GetAppSettingWithDefault(app_settings, "ProxyType", 1).AsNumber(-1)) {
    case 0:
      fields.choice = ProxyType::kSystem;
      break;
    case 1:
      fields.choice = ProxyType::kNone;
      break;
    case 2:
      fields.choice = ProxyType::kNamed;
      break;
    default:
      fields.choice.reset();
  }
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

HttpProxy ApplyProxySettings(Env& env, const cSHAREDSettings& app_settings) {
  HttpProxy proxy;
  proxy.access_type =
      static_cast<int>(GetAppSettingWithDefault(app_settings, "ProxyType", 1).AsNumber(1));
  const bool named = proxy.access_type == static_cast<int>(ProxyType::kNamed);
  if (named) {
    const std::string server = GetAppSetting(app_settings, "ProxyServer").Text();
    const std::string port = GetAppSetting(app_settings, "ProxyPort").Text();
    if (!server.empty() && !port.empty()) {
      proxy.server = server + ":" + port;
    }
  }
  env.log.LogEvent("Proxy set to: " + std::to_string(proxy.access_type) + " " + proxy.server);
  if (named) {
    proxy.user = GetAppSetting(app_settings, "ProxyUser").Text();
    proxy.password = GetAppSetting(app_settings, "ProxyPwd").Text();
    env.log.LogEvent("Proxy username/password set");
  }
  return proxy;
}

}  // namespace pagorin
