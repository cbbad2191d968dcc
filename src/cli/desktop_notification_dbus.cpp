#include "cli/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QVariantMap>

#include "cli/notification_answer.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kInterface = u"org.freedesktop.Notifications"_s;
const QString kDefaultAction = u"default"_s;
// A notification server that does not answer in this time has hung; the check is done anyway.
constexpr int kCallTimeoutMs = 10000;

} // namespace

NotificationOutcome ShowDesktopNotification(const DesktopNotification& notification,
                                            std::chrono::milliseconds answerWait) {
    NotificationOutcome outcome;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        outcome.error = u"no session bus: %1"_s.arg(bus.lastError().message());
        return outcome;
    }
    // Listening before the call: the answer may come before the call returns.
    NotificationAnswer answer;
    const bool listening =
        answerWait.count() > 0 &&
        bus.connect(kService, kPath, kInterface, u"ActionInvoked"_s, &answer,
                    SLOT(actionInvoked(uint, QString))) &&
        bus.connect(kService, kPath, kInterface, u"NotificationClosed"_s, &answer, SLOT(closed(uint, uint)));

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, u"Notify"_s);
    const QStringList actions{kDefaultAction, notification.actionLabel};
    const QVariantMap hints{{u"desktop-entry"_s, u"quillon"_s},
                            {u"urgency"_s, QVariant::fromValue<uchar>(1)}};
    call << u"Quillon"_s << 0u << u"quillon"_s << notification.summary << notification.body << actions
         << hints << -1;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        outcome.error = u"the notification service did not show it: %1"_s.arg(reply.errorMessage());
        return outcome;
    }
    outcome.shown = true;
    if (!listening)
        return outcome;

    answer.expect(reply.arguments().constFirst().toUInt());
    QEventLoop loop;
    QObject::connect(&answer, &NotificationAnswer::answered, &loop, &QEventLoop::quit);
    QTimer::singleShot(answerWait, &loop, &QEventLoop::quit);
    if (!answer.hasAnswer())
        loop.exec();
    if (answer.action() == kDefaultAction) {
        outcome.programStarted = QProcess::startDetached(notification.program, {});
        if (!outcome.programStarted)
            outcome.error = u"%1 could not be started"_s.arg(notification.program);
    }
    return outcome;
}

} // namespace quillon::cli
