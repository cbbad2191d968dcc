#include "inventory/online_state.h"

#include "app/settings_overrides.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "app/common/checksums.h"
#include "app/common/dates.h"
#include "app/common/pe_info.h"
#include "app/ini_document.h"
#include "app/settings_keys.h"
#include "inventory/installed_version.h"
#include "inventory/item_identification.h"
#include "inventory/plugin_database.h"
#include "inventory/update_item.h"
#include "inventory/update_list.h"
#include "inventory/version_compare.h"
#include "inventory/version_release_date.h"
#include "inventory/version_text.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool isNoVersion(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == kNoVersion;
}

void markUpdate(OnlineStateResult& result) {
    result.state = ItemState::Update;
    result.checked = true;
}

// A file copied on the evening of its build carries the next day as its last write; that day
// is the one the user saw.
QDate installedDayOf(const OnlineStateInput& input) {
    if (IsDateString(input.installedVersion)) {
        if (const auto day = GeneralDate(input.installedVersion))
            return *day;
    }
    if (input.buildDate.isValid() && input.lastWriteDate == input.buildDate.addDays(1))
        return input.lastWriteDate;
    return input.buildDate;
}

OnlineStateResult decideByDates(const OnlineStateInput& input, OnlineStateResult result) {
    const QDate installed = installedDayOf(input);
    const std::optional<QDate> online = GeneralDate(input.latestVersion);
    if (!installed.isValid() || !online) {
        result.state = ItemState::Unknown;
        return result;
    }
    result.installedVersion = FormatDate(installed);
    result.latestVersion = FormatDate(*online);
    if (installed < *online)
        markUpdate(result);
    return result;
}

void decideByVersions(const OnlineStateInput& input, OnlineStateResult& result) {
    if (isNoVersion(input.installedVersion) ||
        !ComplexVerGreater(input.installedVersion, input.latestVersion))
        return;
    if (CollapsedVersion(input.installedVersion) == CollapsedVersion(input.latestVersion))
        return;
    if (!input.updateDateCheck || input.forceLatestVer || input.overrideUserVal || input.ownExecutable ||
        input.optionsSkipDateCheck) {
        markUpdate(result);
        return;
    }
    std::optional<QDate> online = RegionalDate(input.publicationDate);
    if (!online)
        online = GeneralDate(input.latestVersion);
    QDate installed = input.buildDate;
    if (!online || !installed.isValid()) {
        // Nothing to confirm or refute the newer version with: the versions decide.
        markUpdate(result);
        return;
    }
    if (input.pubDateDiffCorr > 0 && !input.databaseItem)
        installed = installed.addDays(input.pubDateDiffCorr);
    if (installed < *online) {
        markUpdate(result);
        return;
    }
    if (input.verCorrOnDateMatch && input.installedVersion != input.latestVersion &&
        installed.daysTo(*online) >= -1 && !input.databaseItem && !input.ownExecutable) {
        result.installedVersion = input.latestVersion;
        result.rememberVersion = true;
    }
}

} // namespace

std::optional<QDate> RegionalDate(const QString& text) {
    static const QRegularExpression form(
        uR"(^\s*(\d{1,2})\.(\d{1,2})\.(\d{4}|\d{2})(?:\s+\d{1,2}:\d{2}(?::\d{2})?)?\s*$)"_s);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(3).toInt();
    if (m.capturedLength(3) == 2)
        year += year < 50 ? 2000 : 1900;
    const QDate date(year, m.captured(2).toInt(), m.captured(1).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<QDate> GeneralDate(const QString& text) {
    if (const auto regional = RegionalDate(text))
        return regional;
    QString compact = text;
    compact.remove(u' ').remove(u'\t');
    return parseDatabaseDate(compact);
}

QDate InstalledBuildDate(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const std::optional<QDateTime> stamp = PEFileTimeStamp(path);
    if (stamp && IsPlausibleReleaseDate(*stamp))
        return stamp->date();
    return info.lastModified().date();
}

OnlineStateResult DecideOnlineState(const OnlineStateInput& input) {
    OnlineStateResult result{ItemState::Ok, false, input.installedVersion, input.latestVersion, false};
    if (IsDateString(input.latestVersion))
        result = decideByDates(input, result);
    else
        decideByVersions(input, result);

    if (input.latestVersion.contains(u"beta"_s, Qt::CaseInsensitive) &&
        result.installedVersion.endsWith(u'b')) {
        result.state = ItemState::Ok;
        result.checked = false;
    }
    return result;
}

void DecideMatchedRow(const MatchedRowContext& context, int row, const QString& filePath,
                      const QString& latestVersion, const QString& publicationDate) {
    const IdentificationStores& stores = context.stores;
    const DatabaseSwitches& switches = context.options.databases;
    const bool databaseItem = isDatabasePseudoPath(filePath);
    // Options of the plugin database describe its own identifier: a user's WebsiteID points
    // elsewhere, so they are not taken then.
    const bool userId =
        !switches.ignoreUserDb && !EntryValue(stores.userDb, filePath, QString(dbkey::WebsiteID)).isEmpty();
    const DatabaseSwitches optionSwitches{switches.databaseEnabled && !userId, switches.ignoreUserDb};
    const InstalledVersionFinder finder(stores, context.options, context.paths, context.ownExecutable);
    const std::optional<quint32> crc = databaseItem ? std::nullopt : FileCrc32(filePath);

    OnlineStateInput input;
    input.installedVersion = context.list.row(row).InstalledVersion;
    input.latestVersion = latestVersion;
    input.publicationDate = publicationDate;
    if (!databaseItem) {
        input.buildDate = InstalledBuildDate(filePath);
        input.lastWriteDate = QFileInfo(filePath).lastModified().date();
        input.overrideUserVal = finder.overrideUserVal(entryFileName(versionPathFor(filePath)),
                                                       crc ? crcDecimal(*crc) : QString());
    }
    input.forceLatestVer =
        !EntryLookup(stores.userDb, stores.pluginDb, switches, filePath, QString(dbkey::ForceLatestVer))
             .isEmpty();
    input.ownExecutable = !context.ownExecutable.isEmpty() &&
                          QFileInfo(filePath).absoluteFilePath().compare(
                              QFileInfo(context.ownExecutable).absoluteFilePath(), Qt::CaseInsensitive) == 0;
    input.optionsSkipDateCheck = EntryLookup(stores.userDb, stores.pluginDb, optionSwitches, filePath,
                                             QString(dbkey::Options)) == u"1"_s;
    input.databaseItem = databaseItem;
    input.updateDateCheck = context.options.updateDateCheck;
    input.pubDateDiffCorr = context.options.pubDateDiffCorr;
    input.verCorrOnDateMatch = context.options.verCorrOnDateMatch;

    const OnlineStateResult decided = DecideOnlineState(input);
    UpdateList& list = context.list;
    list.setInstalledVersion(row, decided.installedVersion);
    list.setLatestVersion(row, decided.latestVersion);
    list.setState(row, decided.state);
    list.setChecked(row, decided.checked);
    if (decided.rememberVersion && crc)
        StoreOverride(stores.settings,
                      context.paths.convertTcPathToEnvPath ? context.paths.convertTcPathToEnvPath(filePath)
                                                           : filePath,
                      crcDecimal(*crc) + u'|' + decided.installedVersion);
    if (databaseItem || input.ownExecutable)
        return;
    const std::optional<QString> remembered = finder.confirmedVersion(filePath, versionPathFor(filePath));
    if (!remembered || *remembered != list.row(row).LatestVersion)
        return;
    list.setInstalledVersion(row, *remembered);
    list.setState(row, ItemState::Ok);
    list.setChecked(row, false);
}

} // namespace quillon
