#pragma once
// The state of a row once its installed version is known against a known latest version: the
// rules the update check applies to a matched item, used again when a row is refreshed.
#include <QDate>
#include <QString>

#include <optional>

#include "inventory/item_state.h"

namespace quillon {

struct MatchedStateInput {
    QString installedVersion; // as the row shows it; "-" when none
    QString latestVersion;    // the online version V
    QString publicationDate;  // the catalogue's release date; empty when unknown
    // The installed file's build date: its plausible link time stamp, else its last write.
    QDate buildDate;
    QDate lastWriteDate;
    bool forceLatestVer = false;  // the database fixes the latest version
    bool overrideUserVal = false; // the checksum database lets the versions decide alone
    bool ownExecutable = false;
    bool optionsSkipDateCheck = false; // Options "1"
    bool databaseItem = false;
    bool updateDateCheck = true;
    int pubDateDiffCorr = 1;
    bool verCorrOnDateMatch = true;
};

struct MatchedStateResult {
    ItemState state = ItemState::Ok;
    bool checked = false;
    QString installedVersion; // possibly rewritten (dates, a version corrected on a date match)
    QString latestVersion;
    // The installed version was corrected to the latest one because the dates match: the caller
    // remembers it for the file's current checksum.
    bool rememberVersion = false;
};

// Day-first or year-first dates with ".", "-" or "/"; nullopt for anything else.
std::optional<QDate> parseVersionDate(const QString& text);

MatchedStateResult DecideMatchedItemState(const MatchedStateInput& input);

// The build date of a file as the release-date check uses it.
QDate FileBuildDate(const QString& path);

} // namespace quillon
