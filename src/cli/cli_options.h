#pragma once
// The command line of quillon-cli: global options, the GUI's switches passed through, the
// command and its arguments. Options may stand before or after the command.
#include <QString>
#include <QStringList>

namespace quillon::cli {

struct CliOptions {
    QString settingsDir;
    QString winePrefix;
    QString wineProgram; // runs the bridge to Total Commander's window; empty: found
    QString language;    // short name ("DEU") or locale identifier ("1031")
    bool json = false;
    bool help = false;
    bool version = false;
    // Argument 0 and the GUI switches ("/safe", "-notc", "/i=PATH", ...), in their order: what
    // the program's own command line would hold.
    QStringList programArguments;
    QString command; // empty when none was given
    QStringList commandArguments;
};

struct CliParseResult {
    CliOptions options;
    QString error; // not empty: wrong usage
};

// arguments includes argument 0 (the program path).
CliParseResult parseCliArguments(const QStringList& arguments);

} // namespace quillon::cli
