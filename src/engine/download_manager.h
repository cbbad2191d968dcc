#pragma once
// The external download manager that takes links one at a time instead of the download window:
// the command the user set up, else the manager installed in Total Commander's world (found
// through its registry key and started there), else one of the Linux managers on PATH. Starting
// a program goes through ProgramLauncher, so the argument vectors can be checked without
// starting anything.
#include <QString>
#include <QStringList>

#include <functional>

namespace quillon {

class System;
struct SettingValues;

// One program start: what runs, its arguments, and variables set for it on top of ours.
struct ProgramStart {
    QString program;
    QStringList arguments;
    QStringList environment; // "NAME=value"
    bool operator==(const ProgramStart&) const = default;
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the program without waiting for it; false when it could not be started.
    virtual bool startDetached(const ProgramStart& start) = 0;
};

// The real starts: no shell, no console output kept.
class DetachedLauncher final : public ProgramLauncher {
public:
    bool startDetached(const ProgramStart& start) override;
};

enum class DownloadManagerKind {
    None,
    Command,  // the user's command line
    InPrefix, // the Windows manager of Total Commander's world ("/d" link "/n")
    UGet,     // uget-gtk, added quietly to its list
    KGet,     // kget, which asks where to put the file
    Aria2,    // aria2c, fetching in the background
};

struct DownloadManager {
    DownloadManagerKind kind = DownloadManagerKind::None;
    ProgramStart base;   // program, leading arguments and environment; each link is added to it
    QString downloadDir; // where uGet and aria2c put the files; empty: their own choice
    explicit operator bool() const { return kind != DownloadManagerKind::None; }
};

// What the choice is made from; the platform side is filled in by DownloadManagerSourcesFor.
struct DownloadManagerSources {
    QString command; // Configuration/DownloadManagerCommand
    // The prefix's manager as the platform starts it (its executable, through Wine when there is
    // a prefix); an empty program when none is installed or it cannot be started.
    ProgramStart prefixManager;
    // The executable of a program name on PATH; empty when there is none.
    std::function<QString(const QString& name)> findProgram;
    QString downloadDir;
};

DownloadManagerSources DownloadManagerSourcesFor(const System& system, const SettingValues& values,
                                                 const QString& downloadDir);
DownloadManager FindDownloadManager(const DownloadManagerSources& sources);

// Whether any manager takes links on this machine with these settings.
bool IsInstalled_IDM(const System& system, const SettingValues& values);

// The start that hands one link to the manager.
ProgramStart DownloadManagerStart(const DownloadManager& manager, const QString& link);
// SendURLToIDM: does nothing without a manager; false when the start failed.
bool SendURLToIDM(const DownloadManager& manager, const QString& link, ProgramLauncher& launcher);

} // namespace quillon
