#pragma once
// The row refresh after an installation, done by the pass's job on copies of the update list and
// of the stores identification reads and writes, made on the owner's thread when the pass is
// built. Each refresh returns what it changed; the owner applies that with
// AppCore::applyRowsRefresh. The copies keep every earlier refresh of the pass, so a later
// package sees the rows as the owner will.
#include <QHash>

#include "engine/stores.h"
#include "inventory/item_identification.h"
#include "inventory/rows_refresh.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_version.h"

namespace quillon {

class AppCore;
class System;
class TcLocator;

class InstalledRowsRefresher {
public:
    // Owner's thread.
    explicit InstalledRowsRefresher(AppCore& core);

    // The job's thread: the chosen rows (marked, or with an update) refreshed after the package
    // of itemPath was installed; only rows in that package's folder take its version.
    RowsRefresh refresh(const QString& itemPath);
    // The job's thread: Total Commander's version found again; window: see TcVersionDetector.
    TcVersionFacts detectTcVersion(const platform::TcWindowState* window = nullptr);

private:
    System& m_system;
    const TcLocator& m_locator;
    UpdateList m_list;
    Stores m_stores;
    IdentificationOptions m_options;
    TcVersionOptions m_tcOptions;
    QString m_programPath;
    QString m_tcExeFile;
    QString m_tcDir;
    QHash<QString, QString> m_publicationDates; // lower-cased path -> catalogue date
};

} // namespace quillon
