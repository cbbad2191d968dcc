#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/settings_fake_system.h"
#include "app/settings_keys.h"
#include "app/settings_messages.h"
#include "app/settings_overrides.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class SettingsRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir().mkpath(path(u"dl"_s));
        QDir().mkpath(path(u"conf"_s));
        system = test::makeFakeSystem(machine);
    }
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    SettingsContext context() const {
        SettingsContext c =
            test::makeSettingsContext(*system, path(u"program"_s), u"/tc/wincmd.ini"_s, path(u"dl/"_s));
        c.convertTcPathToEnvPath = [](const QString& p) {
            return p.startsWith(u"C:\\TC\\"_s, Qt::CaseInsensitive) ? u"%COMMANDER_PATH%"_s + p.mid(5) : p;
        };
        return c;
    }

    QTemporaryDir m_dir;
    test::FakeMachine machine;
    std::unique_ptr<System> system;
};

TEST_F(SettingsRoundTripTest, UnknownContentIsKeptAndKnownKeysAreWrittenInOrder) {
    IniDocument store;
    store.setText(u"; kept comment\n"
                  "[Configuration]\n"
                  "UseIniInTCDir= 1\n"
                  "ProxyAddress=http=proxyhost:8080;https=proxyhost:8080\n"
                  "ProxyPort=8080;8081\n"
                  "Unknown=keep me\n"
                  "DownloadManagerCommand= \"/opt/My Manager/dm\" --add \n"
                  "[GUI]\n"
                  "AllowResize=1\n"
                  "ShowInfoBox=TRUE \n"
                  "MainForm_L=100\n"
                  "[Plugins]\n"
                  "DetectionMode=7\n"
                  "[OverridePlugVer]\n"
                  "%COMMANDER_PATH%\\plugins\\a.wcx=123|1.5\n"
                  "[MyOwn]\n"
                  "x=y\n"
                  "[ExceptionList]\n"
                  "5=%COMMANDER_PATH%\\b.wcx\n"
                  "1=c:\\other\\A.wcx\n"_s);
    Settings settings;
    settings.read(store, context());
    settings.write(store, context(), {});

    const QString expected = uR"(; kept comment
[Configuration]
UseIniInTCDir=1
ProxyAddress=proxyhost
ProxyPort=8080
Unknown=keep me
DownloadManagerCommand="/opt/My Manager/dm" --add
DatabaseEnabled=True
DownloadDir={T}/dl/
DLFileName={FN}_v{VER}_{ODATE}
HttpTimeOut=7000
ParallelDownloads=4
ProxyEnabled=False
ProxyType=0
ProxyUsername=
ProxyPassword=
SearchEngine=https://www.google.com/search?q=%s
TempDirectory={T}/dl/
InstallAfterDL=False
NoSelfUpdate=False
ForceUseExtDB=False
PreInstallAction=1
VerifyAfterInstall=True
PostInstallAction=0

[GUI]
AllowResize=False
ShowInfoBox=False
MainForm_L=100
PrcMsgOnLoad=False
ShowPlugIcons=True
JumpToFirstUpd=True
ScrollOnUpdCheck=True
ShowItemType=0
AlwaysSavePos=False
ShowMenuShortcuts=True
ForceOriginalFont=False
MainForm_W=475
MainForm_H=593
UpdateList_W0=150
UpdateList_W1=75
UpdateList_W2=75
UpdateList_W3=125

[Plugins]
DetectionMode=7
Disabled=False
AutoHideInvalid=True
IntelliDetect=True
DisableExternal=False
UpdateDateCheck=True
PubDateDiffCorr=1
ManualFilePath=/tc/wincmd.ini
SecondaryPlgDir=
ForceSecondary=False
ChecksumDBstate=2
TreatDateAsVer=True
ForceUseOfFN=False
OnlineNameCorr=True
VerCorrOnDateMatch=True
ExcludeInstFiles=

[OverridePlugVer]
%COMMANDER_PATH%\plugins\a.wcx=123|1.5

[MyOwn]
x=y

[ExceptionList]
0=%COMMANDER_PATH%\b.wcx
1=c:\other\A.wcx

[Language]
CurrentLng=

[Total Commander]
Disabled=False
DoNotAcceptBETA=False
IntelliDetect=True
DevCompareMethod=False
DownloadPackage=0
ExcludeInstFiles=

[AddonInfo]
ChecksumMethod=0

[UserDB]
IgnoreUserDB=False
IgnoreExceptionList=False

[Additional]
OneTimeProxyDetect=True
OneTimeUpdateQuestion=False
OneTimeReloadQuestion=False
OneTimeTempDirChange=True
RememberTCpackageSel=False

[Sites]
Catalogue=http://www.totalcmd.net/
CatalogueRu=http://wincmd.ru/
TotalCommander=http://www.ghisler.com/
Forum=http://www.ghisler.ch/
Mirror=
RuleAHosts=
RuleBHosts=
RuleCHosts=
RuleDHosts=

[Limits]
MaxPageMiB=32
LowSpeedBytes=1024
LowSpeedSeconds=30
MaxUnpackedMiB=1024
MaxUnpackRatio=100

[Wine]
Program=
)"_s;
    const QStringList want = QString(expected).replace(u"{T}"_s, m_dir.path()).split(QLatin1Char('\n'));
    const QStringList got = store.toText().split(u"\r\n"_s);
    for (qsizetype i = 0; i < std::max(want.size(), got.size()); ++i)
        ASSERT_EQ(got.value(i, u"<none>"_s), want.value(i, u"<none>"_s)) << "line " << i + 1;

    // Reading the written file again gives the same values and the same text.
    Settings again;
    again.read(store, context());
    const QString first = store.toText();
    again.write(store, context(), {});
    EXPECT_EQ(store.toText(), first);
}

TEST_F(SettingsRoundTripTest, ConditionalKeysFollowTheWriteOptions) {
    struct Case {
        SettingsWriteOptions options;
        bool alwaysSavePos;
        int detectionMode;
        bool language, position, detection;
    };
    const Case cases[] = {
        {{false, false}, false, 1, true, false, true},
        {{true, false}, false, 2, false, false, true},
        {{false, true}, false, -1, true, true, false},
        {{false, false}, true, 3, true, true, false},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.values.alwaysSavePos = c.alwaysSavePos;
        settings.values.plugDetectionMode = static_cast<PluginDetection>(c.detectionMode);
        settings.values.currentLng = u"deu"_s;
        IniDocument store;
        settings.write(store, context(), c.options);
        EXPECT_EQ(store.hasKey(u"Language"_s, u"CurrentLng"_s), c.language);
        EXPECT_EQ(store.value(u"language"_s, u"currentlng"_s), c.language ? u"DEU"_s : QString());
        EXPECT_EQ(store.hasKey(u"GUI"_s, u"MainForm_L"_s) && store.hasKey(u"GUI"_s, u"MainForm_T"_s),
                  c.position);
        EXPECT_EQ(store.hasKey(u"Plugins"_s, u"DetectionMode"_s), c.detection);
    }
}

TEST_F(SettingsRoundTripTest, ExceptionListIsNumberedInSortedOrderWithGapsForBlankLines) {
    Settings settings;
    settings.setExceptionListText(u"\n c:\\tc\\z.wcx\r\nb.wfx\n\n a.wlx\nB.WFX\n"_s);
    IniDocument store;
    store.setText(u"[ExceptionList]\n9=old\n"_s);
    settings.write(store, context(), {});
    const QList<std::pair<QString, QString>> expected = {
        {u"1"_s, u"a.wlx"_s}, {u"2"_s, u"b.wfx"_s}, {u"3"_s, u"%COMMANDER_PATH%\\z.wcx"_s}};
    EXPECT_EQ(store.entries(u"ExceptionList"_s), expected);

    settings.setExceptionListText(u"  \n"_s);
    settings.write(store, context(), {});
    EXPECT_FALSE(store.hasSection(u"ExceptionList"_s));
}

TEST_F(SettingsRoundTripTest, ReadOnlySettingsFolderKeepsTheOldFileAndReportsTheFailure) {
    const QString file = path(u"conf/Quillon.ini"_s);
    const QByteArray old = "[GUI]\r\nShowInfoBox=True\r\n";
    ASSERT_TRUE(test::writeFile(file, old));
    IniDocument store(file);
    ASSERT_TRUE(store.load());
    Settings settings;
    settings.read(store, context());
    settings.values.showInfoBox = false;

    test::ReadOnlyFolder readOnly(path(u"conf"_s));
    QUILLON_SKIP_UNLESS(readOnly.ok(), "cannot make a folder read-only here");
    QString error;
    EXPECT_FALSE(settings.save(store, context(), {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::readFile(file), old);
    EXPECT_EQ(QDir(path(u"conf"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"Quillon.ini"_s});

    const TextLookup english = [](const QString&, const QString&, const QString& def) { return def; };
    const MessageText message = SaveFailureMessage(english, u"Quillon"_s, u"Quillon.ini"_s);
    EXPECT_EQ(message.caption, u"Error: Configuration cannot be saved"_s);
    EXPECT_EQ(message.text, u"Unfortunately Quillon cannot save the current configuration.\r\n"
                            "Reason: Quillon.ini is not writable (read-only / insufficient rights)."_s);
    const TextLookup odd = [](const QString&, const QString& key, const QString&) {
        return key.endsWith(u"L1"_s) ? u"%S and %s "_s : u" <%s> "_s;
    };
    EXPECT_EQ(SaveFailureMessage(odd, u"Q"_s, u"f.ini"_s).text, u"Q and Q \r\n<f.ini>"_s);
}

TEST(VersionOverrides, LookupByShownPathThenEnvironmentForm) {
    IniDocument store;
    store.setText(u"[OverridePlugVer]\n"
                  "%COMMANDER_PATH%\\a.wcx=4294967295|1.5 beta|x\n"
                  "/tc/b.wcx=12|2.0\n"
                  "%COMMANDER_PATH%\\b.wcx=13|2.1\n"
                  "/tc/bad.wcx=12\n"
                  "%COMMANDER_PATH%\\bad.wcx=x|1\n"_s);
    VersionOverrides overrides(store);
    struct Case {
        QString shown, env;
        std::optional<quint32> crc;
        QString version;
    };
    const Case cases[] = {
        {u"/tc/a.wcx"_s, u"%commander_path%\\A.WCX"_s, 4294967295u, u"1.5 beta|x"_s},
        {u"/tc/b.wcx"_s, u"%COMMANDER_PATH%\\b.wcx"_s, 12u, u"2.0"_s},
        {u"/tc/bad.wcx"_s, u"%COMMANDER_PATH%\\bad.wcx"_s, std::nullopt, {}},
        {u"/tc/none.wcx"_s, {}, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        const auto found = overrides.lookup(c.shown, c.env);
        ASSERT_EQ(found.has_value(), c.crc.has_value()) << c.shown.toStdString();
        if (found) {
            EXPECT_EQ(found->crc, *c.crc);
            EXPECT_EQ(found->version, c.version);
        }
    }
    overrides.set(u"%COMMANDER_PATH%\\new.wcx"_s, 7, u"3"_s);
    EXPECT_EQ(store.value(u"OverridePlugVer"_s, u"%COMMANDER_PATH%\\new.wcx"_s), u"7|3"_s);
    overrides.remove(u"/TC/B.wcx"_s);
    EXPECT_EQ(overrides.lookup(u"/tc/b.wcx"_s, u"%COMMANDER_PATH%\\b.wcx"_s)->crc, 13u);
}

} // namespace
} // namespace quillon
