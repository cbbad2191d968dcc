#pragma once
// The application icon's progress bar. On Linux, where the desktop reads Unity's launcher entry
// over the session bus (KDE Plasma, Dash to Dock, Plank, ...); without a session bus nothing is
// sent and nothing fails. On Windows, the taskbar button of the window's outermost owner.
#include <QString>

class QDBusMessage;
class QWidget;

namespace quillon::ui {

class TaskbarProgress {
public:
    // window: the window that shows the progress; a dialog's shows on its owner's button.
    explicit TaskbarProgress(QWidget* window);
    // A progress still shown is taken away: the icon must not keep a bar of a closed window.
    ~TaskbarProgress();
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    void setProgress(int value, int maximum);
    void hide();

    // Linux only: "application://<desktop entry>.desktop", the entry the program gives the window
    // system.
    static QString appUri();
    // The Update signal for that entry: progress from 0 to 1 and whether it is shown.
    static QDBusMessage updateMessage(const QString& appUri, double progress, bool visible);

private:
    void send(int percent, bool visible);

    QWidget* m_window = nullptr;
    int m_sentPercent = -1;
    bool m_visible = false;
};

} // namespace quillon::ui
