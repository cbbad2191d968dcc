#include "gui/gui_fixture.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/settings.h"
#include "inventory/update_list.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon::test {

namespace {
// The least a file needs to count as a Windows executable.
QByteArray minimalPe() {
    QByteArray bytes(0x400, '\0');
    bytes.replace(0, 2, "MZ");
    bytes[0x3C] = 0x40;
    bytes.replace(0x40, 4, QByteArray("PE\0\0", 4));
    return bytes;
}
} // namespace

OpenedUrls::OpenedUrls() {
    QDesktopServices::setUrlHandler(u"http"_s, this, "open");
    QDesktopServices::setUrlHandler(u"https"_s, this, "open");
}

OpenedUrls::~OpenedUrls() {
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
}

void GuiCoreTest::SetUp() {
    ASSERT_TRUE(m_root.isValid());
    const QString root = m_root.path();
    const QString home = root + u"/home"_s;
    auto setEnv = [this](const char* name, const std::optional<QString>& value) {
        if (!m_savedEnv.count(name))
            m_savedEnv[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        if (value)
            qputenv(name, value->toUtf8());
        else
            qunsetenv(name);
    };
    for (const char* name : {"COMMANDER_PATH", "COMMANDER_EXE", "COMMANDER_INI", "COMMANDER_DRIVE",
                             "XDG_CONFIG_HOME", "XDG_DATA_HOME", "WINEPREFIX"})
        setEnv(name, std::nullopt);
    setEnv("HOME", home);
    setEnv("APPDATA", home + u"/appdata"_s);
    setEnv("TEMP", home + u"/tmp"_s);
    setEnv("USERPROFILE", home);
    setEnv("LC_ALL", u"C"_s);
    setEnv("LANG", u"C"_s);

    prefix = root + u"/prefix"_s;
    settingsDir = root + u"/settings"_s;
    ASSERT_TRUE(QDir().mkpath(prefix + u"/dosdevices"_s));
    ASSERT_TRUE(QDir().mkpath(home + u"/tmp"_s));
    ASSERT_TRUE(QFile::link(u"../drive_c"_s, prefix + u"/dosdevices/c:"_s));
    tcDir = prefix + u"/drive_c/totalcmd"_s;
    ASSERT_TRUE(writeFile(prefix + u"/user.reg"_s,
                          "WINE REGISTRY Version 2\n\n[Software\\\\Ghisler\\\\Total Commander] 1\n"
                          "\"InstallDir\"=\"C:\\\\totalcmd\"\n"));
    ASSERT_TRUE(writeFile(prefix + u"/system.reg"_s, "WINE REGISTRY Version 2\n"));
    for (const char* file : {"TOTALCMD64.EXE", "plugins/wcx/sampack/sampack.wcx64",
                             "plugins/wlx/mine/mine.wlx64", "plugins/wfx/other/other.wfx64"})
        ASSERT_TRUE(writeFile(tcDir + u'/' + QString::fromLatin1(file), minimalPe()));
    ASSERT_TRUE(
        writeFile(tcDir + u"/wincmd.ini"_s,
                  "[Configuration]\r\n[PackerPlugins]\r\n"
                  "sam=279,%COMMANDER_PATH%\\plugins\\wcx\\sampack\\sampack.wcx64\r\n"
                  "[ListerPlugins]\r\n0=%COMMANDER_PATH%\\plugins\\wlx\\mine\\mine.wlx64\r\n"
                  "[FileSystemPlugins]\r\nOther=%COMMANDER_PATH%\\plugins\\wfx\\other\\other.wfx64\r\n"));
}

void GuiCoreTest::TearDown() {
    for (const auto& [name, value] : m_savedEnv) {
        if (value)
            qputenv(name.c_str(), *value);
        else
            qunsetenv(name.c_str());
    }
}

std::unique_ptr<AppCore> GuiCoreTest::start(const QString& siteBase) {
    if (!QFileInfo::exists(settingsDir + u"/Quillon.ini"_s)) {
        const QString base = siteBase.isEmpty() ? u"http://127.0.0.1:9/"_s : siteBase;
        writeFile(settingsDir + u"/Quillon.ini"_s,
                  "[Configuration]\nHttpTimeOut=3000\n[Plugins]\nAutoHideInvalid=False\n[Sites]\nCatalogue=" +
                      base.toUtf8() + "\nCatalogueRu=" + base.toUtf8() + "ru/\nForum=" + base.toUtf8() +
                      "forum/\nTotalCommander=" + base.toUtf8() + "\n");
    }
    platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = prefix.toStdString();
    auto core = std::make_unique<AppCore>(prompter, platformOptions);
    StartOptions options;
    options.programDir = m_root.path() + u"/program"_s;
    options.programPath = options.programDir + u"/quillon"_s;
    options.settingsDir = settingsDir;
    core->startUp(CommandLine(QStringList{options.programPath}), options);
    core->runInventoryPass();
    return core;
}

int GuiCoreTest::rowOf(const AppCore& core, const QString& fileName) {
    const UpdateList& list = core.updateList();
    for (int r = 0; r < list.rowCount(); ++r) {
        if (QFileInfo(list.row(r).FilePath).fileName() == fileName)
            return r;
    }
    return -1;
}

} // namespace quillon::test
