// The launcher entry's Update signal as docks and Plasma read it; no bus is needed to build it.
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "taskbar_progress.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

TEST(TaskbarProgress, UpdateSignalNamesTheDesktopEntryAndItsProgress) {
    const QString saved = QGuiApplication::desktopFileName();
    QGuiApplication::setDesktopFileName(u"quillon"_s);
    EXPECT_EQ(TaskbarProgress::appUri(), u"application://quillon.desktop"_s);
    QGuiApplication::setDesktopFileName(saved);

    struct Case {
        double progress;
        bool visible;
        double sent;
    };
    for (const Case& c : {Case{0.25, true, 0.25}, Case{1.5, true, 1.0}, Case{0.4, false, 0.4}}) {
        const QDBusMessage message =
            TaskbarProgress::updateMessage(u"application://quillon.desktop"_s, c.progress, c.visible);
        EXPECT_EQ(message.type(), QDBusMessage::SignalMessage);
        EXPECT_EQ(message.interface(), u"com.canonical.Unity.LauncherEntry"_s);
        EXPECT_EQ(message.member(), u"Update"_s);
        EXPECT_TRUE(message.path().startsWith(u"/"_s));
        const QList<QVariant> args = message.arguments();
        ASSERT_EQ(args.size(), 2);
        EXPECT_EQ(args.at(0).toString(), u"application://quillon.desktop"_s);
        const QVariantMap properties = args.at(1).toMap();
        EXPECT_DOUBLE_EQ(properties.value(u"progress"_s).toDouble(), c.sent);
        EXPECT_EQ(properties.value(u"progress-visible"_s).toBool(), c.visible);
    }
}

} // namespace
} // namespace quillon::ui
