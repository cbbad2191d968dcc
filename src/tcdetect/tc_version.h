#pragma once
// Total Commander's installed version in the notation of its web site ("8.50ß1", "8.01RC5"),
// which the executable's version resource cannot tell apart: from the running window's title or
// the first line of HISTORY.TXT, or from the checksum database and the version resource.
#include <QString>

#include "app/setting_modes.h"

namespace quillon {

class IniDocument;
class System;
class TcLocator;
namespace platform {
struct TcWindowState;
}

struct TcVersionOptions {
    bool intelliSubVer = true; // Total Commander/IntelliDetect: title and HISTORY.TXT decide
    ChecksumDbUse checksumDbState = ChecksumDbUse::First; // Off keeps the checksum database out
};

struct TcVersionFacts {
    QString exeFile; // the executable the row stands for
    bool windowExists = false;
    QString windowTitle; // trimmed; empty when Total Commander is not running
    QString arch;        // "x64" or "x86"
    QString caption;     // "Total Commander (x64)" or the product name with the architecture
    QString baseVersion; // from the checksum database, else the version resource
    QString version;     // what the row shows; "-" when unknown
};

// The replacement tables of the two sources; every blank is removed at the end.
QString NormalizeTitleVersion(const QString& text);
QString NormalizeHistoryVersion(const QString& text);

// The version a window title names, or empty when the title is not usable. baseVersion (may be
// empty) helps to find where the version starts.
QString VersionFromWindowTitle(const QString& title, const QString& baseVersion);
// The version the first line of HISTORY.TXT names, or empty.
QString VersionFromHistoryLine(const QString& firstLine);

class TcVersionDetector {
public:
    TcVersionDetector(System& system, const TcLocator& locator, const IniDocument& checksumDb,
                      TcVersionOptions options)
        : m_system(system), m_locator(locator), m_checksumDb(checksumDb), m_options(options) {}

    // knownExeFile: TCExeFile as known so far; a running window's process replaces it, a missing
    // file is located again. tcDir holds HISTORY.TXT. known: an answer of Total Commander's window
    // that still holds; none: the window is asked (under Wine a bridge call).
    TcVersionFacts detect(const QString& knownExeFile, const QString& tcDir,
                          const platform::TcWindowState* known = nullptr) const;

private:
    QString checksumVersion(const QString& exeFile) const;

    System& m_system;
    const TcLocator& m_locator;
    const IniDocument& m_checksumDb;
    TcVersionOptions m_options;
};

} // namespace quillon
