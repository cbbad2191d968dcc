#pragma once
// The system's proxy (the current user's Internet Settings in the registry) and the clean-up of
// proxy address and port values that may carry the system's per-protocol form.
#include <QString>

namespace quillon {

class System;
struct SettingValues;

// 0: "ProxyEnable" as text ("1" when on); 1: the host of "ProxyServer" (text before the first
// ":"); 2: the rest after the first ":" (the whole value when there is no ":"). Trimmed; a
// missing value or an unknown selector gives an empty text.
QString GetSystemProxyData(const System& system, int selector);

// "http=host:8080;https=host:8443" as address, or "8080;8081" as port: keeps the host of the
// first protocol entry and the first port. A port spelled inside the address entry wins over
// the port passed in, which would otherwise be left without its host.
void CleanProxyAddressAndPort(QString& address, QString& port);

// At the first start (OneTimeProxyDetect false) a system proxy that is on is copied into the
// settings, once per settings file; the address and port clean-up runs every time.
void CopySystemProxyOnce(const System& system, SettingValues& values);

} // namespace quillon
