#pragma once
// The state of an item once its latest version is known: "Update available!" only when the
// version is newer and, unless something waives it, the catalogue published it after the
// installed file was built. The update check uses it for every matched item; the row refresh
// uses it to re-evaluate a row after its installed version changed.
#include <QDate>
#include <QString>

#include <optional>

#include "inventory/item_state.h"

namespace quillon {

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

} // namespace quillon
