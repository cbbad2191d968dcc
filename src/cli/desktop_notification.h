#pragma once
// One notification on the user's desktop; clicking it starts the desktop program.
#include <QString>

#include <chrono>

namespace quillon::cli {

struct DesktopNotification {
    QString summary;
    QString body;
    QString actionLabel; // the button that starts program
    QString program;     // started, detached, when the user clicks
};

struct NotificationOutcome {
    bool shown = false;
    bool programStarted = false;
    QString error; // why it was not shown, or why the program did not start
};

// Shows the notification. With answerWait above zero, waits that long for the user to click or
// close it, so the action can still start the program; zero returns once it is shown.
NotificationOutcome ShowDesktopNotification(const DesktopNotification& notification,
                                            std::chrono::milliseconds answerWait);

} // namespace quillon::cli
