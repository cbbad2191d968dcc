#include "platform/shell_wine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include "scoped_env.h"
#include "support/test_support.h"

using namespace quillon;

namespace {

// Stand-ins for gdbus and xdg-open that record their arguments.
bool writeScript(const QString& path, const QByteArray& body) {
    return test::writeFile(path, "#!/bin/sh\n" + body) &&
           QFile::setPermissions(path,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// xdg-open runs detached: its log is whole once the stand-in has left the ".done" file beside it.
QByteArray waitForFile(const QString& path) {
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(path + QStringLiteral(".done")) && !deadline.hasExpired())
        QThread::msleep(10);
    return test::readFile(path);
}

TEST(DesktopShell, AsksTheFileManagerThenFallsBackToXdgOpen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString target = dir.filePath(QStringLiteral("my files/a b.txt"));
    ASSERT_TRUE(test::writeFile(target, "x"));
    const QString gdbusLog = dir.filePath(QStringLiteral("gdbus.log"));
    const QString openLog = dir.filePath(QStringLiteral("open.log"));
    test::ScopedEnv env;
    env.set("PATH", bin.toStdString());

    struct Case {
        const char* name;
        std::optional<int> gdbusExit; // nullopt: not installed
        bool xdgOpen;
        bool expected;
    };
    const Case cases[] = {
        {"file manager answers", 0, true, true},         {"file manager fails", 1, true, true},
        {"no gdbus", std::nullopt, true, true},          {"nothing available", 1, false, false},
        {"no tools at all", std::nullopt, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(bin).removeRecursively();
        QFile::remove(gdbusLog);
        QFile::remove(openLog);
        QFile::remove(openLog + QStringLiteral(".done"));
        ASSERT_TRUE(QDir().mkpath(bin));
        if (c.gdbusExit) {
            ASSERT_TRUE(writeScript(bin + QStringLiteral("/gdbus"),
                                    "printf '%s\\n' \"$@\" > '" + gdbusLog.toUtf8() + "'\nexit " +
                                        QByteArray::number(*c.gdbusExit) + "\n"));
        }
        if (c.xdgOpen) {
            ASSERT_TRUE(writeScript(bin + QStringLiteral("/xdg-open"), "printf '%s' \"$1\" > '" +
                                                                           openLog.toUtf8() + "'\n: > '" +
                                                                           openLog.toUtf8() + ".done'\n"));
        }

        platform::DesktopShell shell;
        EXPECT_EQ(shell.showFileInFileManager(target.toStdString()), c.expected);
        if (c.gdbusExit) {
            const QByteArray args = test::readFile(gdbusLog);
            EXPECT_TRUE(args.contains("org.freedesktop.FileManager1.ShowItems\n")) << args.constData();
            EXPECT_TRUE(args.contains(QByteArray("['" + QUrl::fromLocalFile(target).toEncoded() + "']")))
                << args.constData();
        }
        const bool opened = c.xdgOpen && c.gdbusExit != 0;
        if (opened)
            EXPECT_EQ(waitForFile(openLog), dir.filePath(QStringLiteral("my files")).toUtf8());
        else
            EXPECT_FALSE(QFile::exists(openLog));
    }
}

} // namespace
