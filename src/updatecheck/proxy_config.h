#pragma once
// The proxy of the settings (`ProxyEnabled`, `ProxyType`, `ProxyAddress`, `ProxyPort`,
// `ProxyUsername`, `ProxyPassword`) as the HTTP client applies it.
#include <QString>

#include "updatecheck/http_client.h"

namespace quillon {

struct SettingValues;

// "0", "http", "https": HTTP; "1", "2", "socks", "socks5": SOCKS 5; "socks4": SOCKS 4; letters in
// any case. Anything else: no proxy.
ProxyKind ProxyKindFromType(const QString& proxyType);

struct ProxySetup {
    bool ok = true;
    ProxySettings proxy; // kind None: direct connection
    QString badPort;     // the port text that is not a port, when that is why ok is false
    bool missingHost = false;
};

// A proxy that is switched on but cannot be set up (a port that is not a number from 1 to
// 65535, no address) is not ok: nothing may be fetched then, neither through a broken proxy
// nor around it.
ProxySetup ProxyFromSettings(const SettingValues& values);

} // namespace quillon
