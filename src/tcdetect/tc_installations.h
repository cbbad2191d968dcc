#pragma once
// Every Total Commander on the machine: each Wine prefix the prefix managers keep, looked into
// the way the locator looks into the prefix in use (on Windows: the machine's own installation).
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/wine_prefixes.h"

namespace quillon {

struct TcInstallation {
    platform::PrefixManager manager = platform::PrefixManager::Wine;
    QString prefix; // host paths; prefix empty on Windows
    QString tcDir;
    QString ini; // "" when none was found
    QString exe;
    QString wine; // the Wine program that runs the prefix; "" for the system's
};

struct TcInstallationScan {
    QList<TcInstallation> installations;
    QStringList notes; // manager files that could not be read
};

// Only prefixes with Total Commander's directory count.
TcInstallationScan FindTcInstallations();

} // namespace quillon
