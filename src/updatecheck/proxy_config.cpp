#include "updatecheck/proxy_config.h"

#include <algorithm>

#include "app/settings_values.h"

using namespace Qt::StringLiterals;

namespace quillon {

ProxyKind ProxyKindFromType(const QString& proxyType) {
    const QString type = proxyType.toLower();
    if (type == "0"_L1 || type == "http"_L1 || type == "https"_L1)
        return ProxyKind::Http;
    if (type == "1"_L1 || type == "2"_L1 || type == "socks"_L1 || type == "socks5"_L1)
        return ProxyKind::Socks5;
    if (type == "socks4"_L1)
        return ProxyKind::Socks4;
    return ProxyKind::None;
}

ProxySetup ProxyFromSettings(const SettingValues& values) {
    ProxySetup setup;
    if (!values.proxyEnabled)
        return setup;
    const ProxyKind kind = ProxyKindFromType(values.proxyType);
    if (kind == ProxyKind::None)
        return setup;

    const QString portText = values.proxyPort.trimmed();
    bool isNumber = false;
    const uint port = portText.toUInt(&isNumber);
    // toUInt() also takes a leading "+" or blanks; a port is digits only.
    const bool digitsOnly = !portText.isEmpty() && std::all_of(portText.begin(), portText.end(),
                                                               [](QChar c) { return c.isDigit(); });
    if (!isNumber || !digitsOnly || port == 0 || port > 65535) {
        setup.ok = false;
        setup.badPort = values.proxyPort;
        return setup;
    }
    const QString host = values.proxyAddress.trimmed();
    if (host.isEmpty()) {
        // libcurl would take an empty proxy for "no proxy" and connect directly.
        setup.ok = false;
        setup.missingHost = true;
        return setup;
    }
    setup.proxy.kind = kind;
    setup.proxy.host = host;
    setup.proxy.port = static_cast<quint16>(port);
    setup.proxy.username = values.proxyUsername.trimmed();
    setup.proxy.password = values.proxyPassword.trimmed();
    return setup;
}

} // namespace quillon
