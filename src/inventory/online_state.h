#pragma once
// The state of an item once its latest version is known: "Update available!" only when the
// version is newer and, unless something waives it, the catalogue published it after the
// installed file was built. The update check decides every matched item with it, and the row
// refresh re-decides a row with it after the row's installed version changed, so that both give
// a row the same state.
#include <QDate>
#include <QString>

#include <optional>

#include "inventory/item_state.h"

namespace quillon {

class UpdateList;
struct IdentificationOptions;
struct IdentificationStores;
struct PathForms;

// A date in the regional form "dd.mm.yyyy" (one-digit day and month, a two-digit year and a
// following time of day accepted, as the catalogue has written them).
std::optional<QDate> RegionalDate(const QString& text);
// Any date form the program meets: the regional one, then day or year first with ".", "-"
// or "/".
std::optional<QDate> GeneralDate(const QString& text);

// The installed file's build day: its link time stamp when that is a plausible release date,
// else its last write. Invalid when the file cannot be read.
QDate InstalledBuildDate(const QString& path);

struct OnlineStateInput {
    QString installedVersion; // as the row shows it; "-" when none
    QString latestVersion;    // V, the online version
    QString publicationDate;  // D, the catalogue's release date ("dd.mm.yyyy"); may be empty
    QDate buildDate;          // InstalledBuildDate of the file; invalid for the database rows
    QDate lastWriteDate;      // the file's last write
    bool forceLatestVer = false;
    bool overrideUserVal = false; // the checksum database lets the versions decide alone
    bool ownExecutable = false;
    bool optionsSkipDateCheck = false; // Options "1"
    bool databaseItem = false;
    // Plugins/UpdateDateCheck, PubDateDiffCorr, VerCorrOnDateMatch
    bool updateDateCheck = true;
    int pubDateDiffCorr = 1;
    bool verCorrOnDateMatch = true;
};

struct OnlineStateResult {
    ItemState state = ItemState::Ok;
    bool checked = false;
    QString installedVersion; // rewritten for date versions and a version confirmed by its date
    QString latestVersion;
    // The installed version was set to the latest because the dates match: remember it for the
    // file's current checksum (settings section OverridePlugVer).
    bool rememberVersion = false;
};

// Dates as versions compared by day; otherwise ComplexVerGreater, confirmed by the release
// date unless waived; then the beta guard (an installed "...b" is not behind a "beta").
// A date version whose days cannot be told gives Unknown: nothing is known about that item.
OnlineStateResult DecideOnlineState(const OnlineStateInput& input);

// What deciding one row of the list reads, and where it writes.
struct MatchedRowContext {
    UpdateList& list;
    const IdentificationStores& stores; // settings: OverridePlugVer read and written
    const IdentificationOptions& options;
    const PathForms& paths;
    const QString& ownExecutable;
};

// The row's state against latestVersion, decided by DecideOnlineState over the row's installed
// version and written into the row. The file's days, ForceLatestVer, Options and the checksum
// database's OverrideUserVal are taken from the file and the stores; a version confirmed by its
// date is remembered for the file's checksum; then a version remembered for this very file
// settles the row when it is the latest one. publicationDate: "dd.mm.yyyy", or empty.
void DecideMatchedRow(const MatchedRowContext& context, int row, const QString& filePath,
                      const QString& latestVersion, const QString& publicationDate);

} // namespace quillon
