#pragma once
// What an unpack or pack operation did: success, the first failure, and the entries refused as
// unsafe. Converts to the plain true/false the installer decides on.
#include <QString>
#include <QStringList>

namespace quillon {

struct ArchiveResult {
    bool ok = false;
    // The first failure in words; empty when ok.
    QString error;
    // Stored names that were not written, each followed by ": " and the reason.
    QStringList refusedEntries;
    int filesWritten = 0;

    explicit operator bool() const { return ok; }
};

} // namespace quillon
