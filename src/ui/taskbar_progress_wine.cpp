#include "taskbar_progress.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace quillon::ui {

// The desktop finds the entry by its name, not by a window.
TaskbarProgress::TaskbarProgress(QWidget* window) : m_window(window) {}

TaskbarProgress::~TaskbarProgress() {
    hide();
}

QString TaskbarProgress::appUri() {
    QString entry = QGuiApplication::desktopFileName();
    if (entry.isEmpty())
        entry = u"quillon"_s;
    return u"application://"_s + entry + u".desktop"_s;
}

QDBusMessage TaskbarProgress::updateMessage(const QString& appUri, double progress, bool visible) {
    QDBusMessage message = QDBusMessage::createSignal(u"/com/canonical/unity/launcherentry/quillon"_s,
                                                      u"com.canonical.Unity.LauncherEntry"_s, u"Update"_s);
    QVariantMap properties;
    properties.insert(u"progress"_s, std::clamp(progress, 0.0, 1.0));
    properties.insert(u"progress-visible"_s, visible);
    message << appUri << properties;
    return message;
}

void TaskbarProgress::setProgress(int value, int maximum) {
    if (maximum <= 0)
        return;
    send(static_cast<int>(std::clamp(qint64(value) * 100 / maximum, qint64(0), qint64(100))), true);
}

void TaskbarProgress::hide() {
    if (m_visible)
        send(m_sentPercent, false);
}

void TaskbarProgress::send(int percent, bool visible) {
    // Progress arrives many times a second; the bus only hears what the icon can show.
    if (percent == m_sentPercent && visible == m_visible)
        return;
    m_sentPercent = percent;
    m_visible = visible;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.send(updateMessage(appUri(), percent / 100.0, visible));
}

} // namespace quillon::ui
