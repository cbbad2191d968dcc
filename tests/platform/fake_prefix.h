#pragma once
// A Wine prefix as wineboot leaves it, reduced to what the platform layer looks at.
#include <QDir>
#include <QFile>
#include <QString>

#include "support/test_support.h"

namespace quillon::test {

inline bool makeFakePrefix(const QString& prefix, const QByteArray& userReg = {},
                           const QByteArray& systemReg = {}) {
    QDir dir(prefix);
    if (!dir.mkpath(QStringLiteral("dosdevices")) ||
        !dir.mkpath(QStringLiteral("drive_c/windows/system32")) ||
        !dir.mkpath(QStringLiteral("drive_c/users/Public")) ||
        !dir.mkpath(QStringLiteral("drive_c/users/alice")))
        return false;
    if (!QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:")) ||
        !QFile::link(QStringLiteral("/"), prefix + QStringLiteral("/dosdevices/z:")))
        return false;
    const QByteArray header = "WINE REGISTRY Version 2\n";
    return writeFile(prefix + QStringLiteral("/user.reg"), header + userReg) &&
           writeFile(prefix + QStringLiteral("/system.reg"), header + systemReg);
}

} // namespace quillon::test
