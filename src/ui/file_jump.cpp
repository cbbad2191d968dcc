#include "ui/file_jump.h"

#include <QFileInfo>

#include "app/system.h"

namespace quillon::ui {

namespace {
constexpr int kLeftPanelCommand = 4001;
constexpr int kFileManagerLimit = 5;
} // namespace

bool jumpToFiles(System& system, const QStringList& hostPaths) {
    QStringList existing;
    for (const QString& path : hostPaths) {
        if (QFileInfo::exists(path))
            existing.append(path);
    }
    if (existing.isEmpty())
        return false;
    platform::TcWindow& window = system.tcWindow();
    const platform::TcWindowState state = window.state();
    if (state.running && !state.minimized) {
        window.sendChangeDir(existing.first().toStdString(), true);
        window.sendCommand(kLeftPanelCommand);
        return true;
    }
    bool shown = false;
    for (const QString& path : existing.mid(qMax<qsizetype>(0, existing.size() - kFileManagerLimit)))
        shown = system.shell().showFileInFileManager(path.toStdString()) || shown;
    return shown;
}

} // namespace quillon::ui
