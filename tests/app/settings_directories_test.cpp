#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/settings_directories.h"
#include "app/settings_fake_system.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(DownloadDirectory, ConfiguredDirectoryOrFirstUsableDefault) {
    struct Case {
        const char* name;
        QString configured;
        QStringList folders; // created below the test folder {T}
        bool appData = false, drive = false, temp = false, profile = false;
        QString ieDirectory; // registry value, Windows form
        QString expected;    // {T} is the test folder
        bool defaulted = true, created = false;
    };
    const Case cases[] = {
        {"existing", u" {T}/mine\\ "_s, {u"mine"_s}, true, false, false, false, {}, u"{T}/mine/"_s, false},
        {"missing below a writable parent",
         u"%USERPROFILE%\\Tools\\New"_s,
         {u"profile/Tools"_s},
         true,
         false,
         false,
         true,
         {},
         u"%USERPROFILE%\\Tools\\New/"_s,
         false},
        {"drive letter on a host",
         u"Q:\\x"_s,
         {u"c/IE"_s},
         true,
         true,
         false,
         false,
         u"C:\\IE"_s,
         u"{T}/c/IE/"_s},
        {"unknown variable",
         u"%NOPE%\\x"_s,
         {u"profile/Downloads"_s},
         true,
         false,
         false,
         true,
         {},
         u"{T}/profile/Downloads/"_s},
        {"system's Downloads folder", {}, {u"known"_s}, true, false, false, false, {}, u"{T}/known/"_s},
        {"program's Downloads",
         u"/"_s,
         {u"program/Downloads"_s},
         true,
         false,
         false,
         false,
         {},
         u"{T}/program/Downloads/"_s},
        {"per-user folder created",
         {},
         {},
         true,
         true,
         true,
         true,
         {},
         u"{T}/appdata/Quillon/Downloads/"_s,
         true,
         true},
        {"drive's Download", {}, {u"c/Download"_s}, false, true, true, false, {}, u"{T}/c/Download/"_s},
        {"TEMP", {}, {}, false, false, true, false, {}, u"{T}/temp/"_s},
        {"nothing usable", {}, {}, false, false, false, false, {}, u"%APPDATA%/Quillon/"_s},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString t = dir.path();
        for (const QString& folder : c.folders)
            QDir().mkpath(t + QLatin1Char('/') + folder);
        test::FakeMachine machine;
        if (c.appData) {
            machine.appData = QString(t + u"/appdata"_s).toStdString();
            QDir().mkpath(t + u"/appdata"_s);
        }
        if (c.drive)
            machine.drive = QString(t + u"/c"_s).toStdString();
        if (c.temp) {
            QDir().mkpath(t + u"/temp"_s);
            machine.setVariable("TEMP", t + u"/temp"_s);
        }
        if (c.profile)
            machine.setVariable("USERPROFILE", t + u"/profile"_s);
        if (!c.ieDirectory.isEmpty())
            machine.setRegistryString("Software\\Microsoft\\Internet Explorer\\Main",
                                      "Default Download Directory", c.ieDirectory.toStdString());
        const auto system = test::makeFakeSystem(machine);
        const QString known = c.folders.contains(u"known"_s) ? t + u"/known/"_s : t + u"/absent/"_s;
        const SettingsContext context = test::makeSettingsContext(*system, t + u"/program"_s, {}, known);

        QString configured = c.configured;
        const DownloadDirChoice choice =
            ChooseDownloadDirectory(context, configured.replace(u"{T}"_s, t), u"%APPDATA%/Quillon/"_s);
        EXPECT_EQ(choice.directory, QString(c.expected).replace(u"{T}"_s, t)) << c.name;
        EXPECT_EQ(choice.defaulted, c.defaulted) << c.name;
        EXPECT_EQ(choice.created, c.created) << c.name;
        if (c.created) {
            EXPECT_TRUE(QFileInfo(t + u"/appdata/Quillon/Downloads"_s).isDir());
        }
        if (QByteArray(c.name) == "missing below a writable parent") {
            EXPECT_EQ(ExpandOwnPath(*system, choice.directory), t + u"/profile/Tools/New/"_s);
        }
    }
}

TEST(TemporaryDirectory, FirstStartMovesOnlyTheUntouchedDefault) {
    struct Case {
        const char* ini;
        bool moved;
    };
    const Case cases[] = {
        {"", true},
        {"[Configuration]\nTempDirectory=%appdata%\\QUILLON\n", true},
        {"[Configuration]\nTempDirectory=/var/tmp/mine/\n", false},
        {"[Additional]\nOneTimeTempDirChange=True\n", false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + u"/dl"_s);
        test::FakeMachine machine;
        const auto system = test::makeFakeSystem(machine);
        const SettingsContext context =
            test::makeSettingsContext(*system, dir.path() + u"/program"_s, {}, dir.path() + u"/dl/"_s);
        IniDocument store;
        store.setText(QString::fromUtf8(c.ini));
        Settings settings;
        settings.read(store, context);
        EXPECT_TRUE(settings.values.oneTimeTempDirChange) << c.ini;
        EXPECT_EQ(settings.values.tempDirectory == dir.path() + u"/dl/"_s, c.moved) << c.ini;
    }
}

} // namespace
} // namespace quillon
