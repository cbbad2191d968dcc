// The row refresh: the installed version of an existing row determined again, and the row's
// state decided again with the update check's own rules, so that a row refreshed after an
// installation shows what the next check would show.
#include <QFileInfo>

#include "app/common/checksums.h"
#include "app/common/dates.h"
#include "app/ini_document.h"
#include "app/settings_keys.h"
#include "app/settings_overrides.h"
#include "inventory/installed_version.h"
#include "inventory/item_identification.h"
#include "inventory/online_state.h"
#include "inventory/update_item.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool isNoVersion(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == kNoVersion;
}

} // namespace

bool ItemIdentifier::RefreshPluginInfo(const QString& path, int row, const QString& installedFilePath,
                                       bool delay) {
    if (!m_list.isValidRow(row))
        return false;
    const QString filePath = m_list.row(row).FilePath;
    QString latest = m_list.row(row).LatestVersion;
    if (delay)
        m_list.setInstalledVersion(row, u"..."_s);

    const InstalledVersionFinder finder(m_stores, m_options, m_paths, m_ownExecutable);
    const InstalledVersion found = finder.find(filePath, VersionPass::Refresh);
    rememberVersionFile(m_stores, found);
    const QString installed = found.version.isEmpty() ? QString(kNoVersion) : found.version;
    m_list.setInstalledVersion(row, installed);

    if (isNoVersion(latest)) {
        m_list.setState(row, ItemState::Unknown);
        m_list.setChecked(row, false);
    } else {
        const QString published = m_publicationDate ? m_publicationDate(filePath) : QString();
        // The check compares a file that carries a date as its version with the catalogue's
        // date, not with its version text.
        if (IsDateString(installed) && !isDatabasePseudoPath(filePath) && !published.isEmpty())
            latest = published;
        DecideMatchedRow(MatchedRowContext{m_list, m_stores, m_options, m_paths, m_ownExecutable}, row,
                         filePath, latest, published);
    }

    // A package was installed for this row: what it brought is the latest version, whatever its
    // files say about themselves.
    const bool installedElsewhere = !installedFilePath.isEmpty() && QFileInfo(installedFilePath).isFile() &&
                                    installedFilePath.compare(filePath, Qt::CaseInsensitive) != 0;
    if (installedElsewhere && m_list.state(row) == ItemState::Update) {
        const QString newest = m_list.row(row).LatestVersion;
        if (const std::optional<quint32> crc = FileCrc32(filePath)) {
            StoreOverride(m_stores.settings, m_paths.convertTcPathToEnvPath(filePath),
                          crcDecimal(*crc) + u'|' + newest);
            m_list.setInstalledVersion(row, newest);
            m_list.setState(row, ItemState::Ok);
            m_list.setChecked(row, false);
        }
    }

    m_list.updateSnapshotRow(path, row);
    return true;
}

} // namespace quillon
