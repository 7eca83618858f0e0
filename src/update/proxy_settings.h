// How the program reaches the internet: the proxy keys of the program
// settings, as the proxy dialog (fSHAREDProxy) shows and stores them.
#pragma once

#include <optional>
#include <string>

#include "shared/env.h"
#include "shared/network.h"

namespace pagorin {

class cSHAREDSettings;

// The dialog's fields, named as its controls. `choice` is the option button
// that is set (optDefault, optNoProxy, optNamed); none when ProxyType holds
// another number.
struct ProxySettingsFields {
  std::optional<ProxyType> choice = ProxyType::kNone;
  std::string txtServer;
  std::string txtPort;
  std::string txtUser;
  std::string txtPassword;
  std::string txtPassword2;  // "Enter Again:"

  bool operator==(const ProxySettingsFields&) const = default;
};

// ProxyType (default 1), ProxyServer, ProxyPort, ProxyUser, and ProxyPwd in
// both password boxes.
ProxySettingsFields LoadProxySettings(const cSHAREDSettings& app_settings);

// OK: when the two password boxes differ, shows "Your passwords don't match.
// Please retype them." and stores nothing (false). Otherwise stores
// ProxyServer, ProxyPort, ProxyUser, ProxyPwd (as typed, whichever option is
// chosen) and ProxyType (no choice stores 1) in memory; the program settings
// file is written by its owner later.
bool StoreProxySettings(Env& env, cSHAREDSettings& app_settings, const ProxySettingsFields& fields);

// The proxy every connection of the program uses, from the keys as they
// stand now: the type ProxyType (default 1; a number other than 0, 1 and 2
// goes direct); with 2 the server ProxyServer:ProxyPort when both are given
// (else none, so direct) and ProxyUser and ProxyPwd.
ProxyRoute ProxyRouteFromSettings(const cSHAREDSettings& app_settings);

// ProxyRouteFromSettings for an HTTP transfer, logged: "Proxy set to: " +
// the stored ProxyType + " " + server, and with 2 "Proxy username/password
// set".
ProxyRoute ApplyProxySettings(Env& env, const cSHAREDSettings& app_settings);

}  // namespace pagorin
