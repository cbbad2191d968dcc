#pragma once
// The desktop program's command line: the command-line program's options, the switches of the
// window (kept in their order for the core's own scan), and --help.
#include <QString>
#include <QStringList>

namespace quillon::ui {

struct GuiOptions {
    QString settingsDir;
    QString winePrefix;
    QString wineProgram; // this run only; the setting stays as it is
    QString language;
    bool help = false;
    // Argument 0 and every other argument: what the core's command line scans.
    QStringList programArguments;
    QString error; // not empty: wrong usage
    // Words that are no switch, said on the terminal; the program starts without them.
    QStringList warnings;
};

GuiOptions parseGuiArguments(const QStringList& arguments);
QString guiUsage();

} // namespace quillon::ui
