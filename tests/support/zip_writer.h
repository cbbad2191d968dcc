#pragma once
// ZIP archives written for tests: packages, databases, damaged or odd archives start from here.
#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace quillon::test {

using ZipMembers = QList<std::pair<QString, QByteArray>>;

// Each member as a regular file under its name, in the order given. compression: "deflate" or
// "store". False when anything could not be written.
bool writeZip(const QString& path, const ZipMembers& members, const char* compression = "deflate");

} // namespace quillon::test
