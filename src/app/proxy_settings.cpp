#include "app/proxy_settings.h"

#include <QRegularExpression>

#include "app/settings_values.h"
#include "app/system.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {
const QString kInternetSettingsKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"_s;
} // namespace

QString GetSystemProxyData(const System& system, int selector) {
    using platform::RegistryRoot;
    if (selector == 0) {
        // ProxyEnable is a DWORD; a string value is accepted as written.
        const qint64 number =
            system.readRegistryInt(RegistryRoot::CurrentUser, kInternetSettingsKey, u"ProxyEnable"_s, -1);
        if (number >= 0)
            return QString::number(number);
        return system.readRegistryString(RegistryRoot::CurrentUser, kInternetSettingsKey, u"ProxyEnable"_s)
            .trimmed();
    }
    if (selector != 1 && selector != 2)
        return {};
    const QString server =
        system.readRegistryString(RegistryRoot::CurrentUser, kInternetSettingsKey, u"ProxyServer"_s)
            .trimmed();
    const qsizetype colon = server.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return server;
    return selector == 1 ? server.left(colon) : server.mid(colon + 1);
}

void CleanProxyAddressAndPort(QString& address, QString& port) {
    if (address.contains(QLatin1Char('='))) {
        // The first protocol entry: the text between the first "=" and the next "=" or ";".
        QString entry = address.section(QLatin1Char('='), 1, 1);
        entry = entry.section(QLatin1Char(';'), 0, 0).trimmed();
        static const QRegularExpression hostAndPort(u"^(.*):(\\d+)$"_s);
        if (const QRegularExpressionMatch m = hostAndPort.match(entry); m.hasMatch()) {
            entry = m.captured(1).trimmed();
            port = m.captured(2);
        }
        address = entry;
    }
    if (port.contains(QLatin1Char(';')))
        port = port.section(QLatin1Char(';'), 0, 0).trimmed();
}

void CopySystemProxyOnce(const System& system, SettingValues& values) {
    if (!values.oneTimeProxyDetect) {
        values.oneTimeProxyDetect = true;
        if (GetSystemProxyData(system, 0) == "1"_L1) {
            values.proxyEnabled = true;
            values.proxyAddress = GetSystemProxyData(system, 1);
            // A server without ":" names no port; the configured one stays.
            const QString server = system.readRegistryString(platform::RegistryRoot::CurrentUser,
                                                             kInternetSettingsKey, u"ProxyServer"_s);
            if (server.contains(QLatin1Char(':')))
                values.proxyPort = GetSystemProxyData(system, 2);
        }
    }
    CleanProxyAddressAndPort(values.proxyAddress, values.proxyPort);
}

} // namespace quillon
