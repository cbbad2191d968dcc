#include "inventory/item_refresh.h"

#include <QFileInfo>

#include "app/common/checksums.h"
#include "app/common/dates.h"
#include "app/common/pe_info.h"
#include "app/ini_document.h"
#include "app/settings_keys.h"
#include "inventory/installed_version.h"
#include "inventory/item_identification.h"
#include "inventory/update_list.h"
#include "updatecheck/version_compare.h"
#include "updatecheck/version_release_date.h"
#include "updatecheck/version_text.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool isNoVersion(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == kNoVersion;
}

// The installed day of a date comparison: the build day, or the last write when that is the
// next day (a file copied on the evening of its build).
QDate installedDay(const MatchedStateInput& input) {
    if (input.lastWriteDate.isValid() && input.buildDate.isValid() &&
        input.lastWriteDate == input.buildDate.addDays(1))
        return input.lastWriteDate;
    return input.buildDate;
}

MatchedStateResult decideByDates(const MatchedStateInput& input) {
    MatchedStateResult result{ItemState::Ok, false, input.installedVersion, input.latestVersion, false};
    QDate installed = installedDay(input);
    if (IsDateString(input.installedVersion))
        installed = parseVersionDate(input.installedVersion).value_or(installed);
    const std::optional<QDate> online = parseVersionDate(input.latestVersion);
    if (!online || !installed.isValid())
        return result; // a date that names no day cannot show an update
    result.installedVersion = FormatDate(installed);
    result.latestVersion = FormatDate(*online);
    if (installed < *online) {
        result.state = ItemState::Update;
        result.checked = true;
    }
    return result;
}

} // namespace

std::optional<QDate> parseVersionDate(const QString& text) {
    QString t = text;
    t.remove(u' ').remove(u'\t');
    return parseDatabaseDate(t);
}

QDate FileBuildDate(const QString& path) {
    const std::optional<QDateTime> stamp = PEFileTimeStamp(path);
    if (stamp && IsPlausibleReleaseDate(*stamp))
        return stamp->date();
    return QFileInfo(path).lastModified().date();
}

MatchedStateResult DecideMatchedItemState(const MatchedStateInput& input) {
    if (IsDateString(input.latestVersion))
        return decideByDates(input);

    MatchedStateResult result{ItemState::Ok, false, input.installedVersion, input.latestVersion, false};
    if (input.installedVersion.trimmed() == kNoVersion ||
        !ComplexVerGreater(input.installedVersion, input.latestVersion))
        return result;
    if (CollapsedVersion(input.installedVersion) == CollapsedVersion(input.latestVersion))
        return result;
    if (!input.updateDateCheck || input.forceLatestVer || input.overrideUserVal || input.ownExecutable ||
        input.optionsSkipDateCheck) {
        result.state = ItemState::Update;
        result.checked = true;
        return result;
    }

    std::optional<QDate> online = parseVersionDate(input.publicationDate);
    if (!online)
        online = parseVersionDate(input.latestVersion);
    QDate installed = input.buildDate;
    if (!online || !installed.isValid()) {
        // No day to confirm or refute the update with: the versions decide.
        result.state = ItemState::Update;
        result.checked = true;
        return result;
    }
    if (input.pubDateDiffCorr > 0 && !input.databaseItem)
        installed = installed.addDays(input.pubDateDiffCorr);
    if (installed < *online) {
        result.state = ItemState::Update;
        result.checked = true;
        return result;
    }
    if (input.verCorrOnDateMatch && input.installedVersion != input.latestVersion &&
        std::abs(installed.daysTo(*online)) <= 1 && !input.databaseItem && !input.ownExecutable) {
        result.installedVersion = input.latestVersion;
        result.rememberVersion = true;
    }
    return result;
}

bool ItemIdentifier::RefreshPluginInfo(const QString& path, int row, const QString& installedFilePath,
                                       bool delay) {
    if (!m_list.isValidRow(row))
        return false;
    const QString filePath = m_list.row(row).FilePath;
    const QString forceLatest = EntryLookup(m_stores.userDb, m_stores.pluginDb, m_options.databases, filePath,
                                            QString(dbkey::ForceLatestVer));
    const QString latest = m_list.row(row).LatestVersion;
    if (delay)
        m_list.setInstalledVersion(row, u"..."_s);

    const InstalledVersionFinder finder(m_stores, m_options, m_paths, m_ownExecutable);
    const InstalledVersion found = finder.find(filePath, VersionPass::Refresh);
    const QString installed = found.version.isEmpty() ? QString(kNoVersion) : found.version;
    m_list.setInstalledVersion(row, installed);

    const bool databaseItem = isDatabasePseudoPath(filePath);
    if (isNoVersion(latest)) {
        m_list.setState(row, ItemState::Unknown);
        m_list.setChecked(row, false);
    } else {
        MatchedStateInput input;
        input.installedVersion = installed;
        input.latestVersion = latest;
        input.publicationDate = m_publicationDate ? m_publicationDate(filePath) : QString();
        input.databaseItem = databaseItem;
        if (!databaseItem) {
            input.buildDate = FileBuildDate(filePath);
            input.lastWriteDate = QFileInfo(filePath).lastModified().date();
            const std::optional<quint32> crc = FileCrc32(filePath);
            input.overrideUserVal =
                finder.overrideUserVal(QFileInfo(filePath).fileName(), crc ? crcDecimal(*crc) : QString());
        }
        input.forceLatestVer = !forceLatest.isEmpty();
        input.ownExecutable = !m_ownExecutable.isEmpty() &&
                              QFileInfo(filePath).absoluteFilePath().compare(
                                  QFileInfo(m_ownExecutable).absoluteFilePath(), Qt::CaseInsensitive) == 0;
        input.optionsSkipDateCheck = EntryLookup(m_stores.userDb, m_stores.pluginDb, m_options.databases,
                                                 filePath, QString(dbkey::Options)) == u"1"_s;
        input.updateDateCheck = m_options.updateDateCheck;
        input.pubDateDiffCorr = m_options.pubDateDiffCorr;
        input.verCorrOnDateMatch = m_options.verCorrOnDateMatch;

        MatchedStateResult decided = DecideMatchedItemState(input);
        if (decided.state == ItemState::Ok && isNoVersion(decided.latestVersion))
            decided.state = ItemState::Unknown;
        if (latest.contains(u"beta"_s, Qt::CaseInsensitive) && decided.installedVersion.endsWith(u'b')) {
            decided.state = ItemState::Ok;
            decided.checked = false;
        }
        if (decided.rememberVersion) {
            if (const std::optional<quint32> crc = FileCrc32(filePath))
                m_stores.settings.setValue(QString::fromLatin1(section::OverridePlugVer),
                                           m_paths.convertTcPathToEnvPath(filePath),
                                           crcDecimal(*crc) + u'|' + decided.installedVersion);
        }
        m_list.setInstalledVersion(row, decided.installedVersion);
        m_list.setLatestVersion(row, decided.latestVersion);
        m_list.setState(row, decided.state);
        m_list.setChecked(row, decided.checked);
    }

    // A package was installed for this row: what it brought is the latest version, whatever its
    // files say about themselves.
    const bool installedElsewhere = !installedFilePath.isEmpty() && QFileInfo(installedFilePath).isFile() &&
                                    installedFilePath.compare(filePath, Qt::CaseInsensitive) != 0;
    if (installedElsewhere && m_list.state(row) == ItemState::Update) {
        const QString newest = m_list.row(row).LatestVersion;
        if (const std::optional<quint32> crc = FileCrc32(filePath)) {
            m_stores.settings.setValue(QString::fromLatin1(section::OverridePlugVer),
                                       m_paths.convertTcPathToEnvPath(filePath),
                                       crcDecimal(*crc) + u'|' + newest);
            m_list.setInstalledVersion(row, newest);
            m_list.setState(row, ItemState::Ok);
            m_list.setChecked(row, false);
        }
    }

    m_list.VisualPlugList_Modify(path, row);
    return true;
}

} // namespace quillon
