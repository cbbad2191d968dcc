#pragma once
// What installing one downloaded package would do, found without writing anything the user
// owns: the files it would write and replace, the backup archive it would write and what that
// archive would then hold. The package is unpacked into a scratch folder to know its files.
#include <QString>
#include <QStringList>

#include "install/earlier_installs.h"
#include "install/install_copy.h"

namespace quillon {

struct InstallPreview {
    bool installs = false;             // the installation would run at all (not download only)
    QString itemDir;                   // where the files would go
    QStringList writes;                // target paths, in the order of the copy
    QStringList replaces;              // the existing files among them
    QStringList removes;               // files deleted after the copy (PostInstallAction)
    QString backupArchive;             // written beside the files first; empty when nothing is backed up
    QStringList backupAdds;            // relative paths this installation would save into it
    QStringList backupKeeps;           // entries the day's archive already holds: they keep the older state
    QStringList skipped;               // package files left out on purpose, with the reason
    bool closesTotalCommander = false; // a running Total Commander would be asked to close first
    bool deletesPackage = false;       // the downloaded package would be deleted afterwards
    QString error;                     // why the installation would fail; nothing would be written
};

// The copy step of an installation whose unpacked package lies at options.copySource: the same
// plan, backup and removals as RunInstallCopy, with nothing written. With earlier, the folders as
// the installations previewed before it would leave them, and this one's changes added to them.
InstallPreview PreviewInstallCopy(const InstallCopyOptions& options, EarlierInstalls* earlier = nullptr);

} // namespace quillon
