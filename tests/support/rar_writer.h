#pragma once
// Stored (uncompressed) RAR 4 archives written after the published format, for the tests of
// the unrar binding and of RAR packages: no RAR writer is free to ship.
#include <QByteArray>
#include <QList>

namespace quillon::test {

struct RarMember {
    QByteArray name;
    QByteArray data;
    bool directory = false;
    bool unixSymlink = false;
};

QByteArray storedRar(const QList<RarMember>& members);

} // namespace quillon::test
