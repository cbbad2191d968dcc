#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include "app/proxy_settings.h"
#include "app/settings.h"
#include "app/settings_fake_system.h"
#include "app/settings_keys.h"
#include "app/settings_location.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const std::string kInternetSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class SettingsReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir().mkpath(path(u"program"_s));
        QDir().mkpath(path(u"downloads"_s));
        machine.appData = path(u"appdata"_s).toStdString();
        QDir().mkpath(path(u"appdata"_s));
        system = test::makeFakeSystem(machine);
    }
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    SettingsContext context() const {
        return test::makeSettingsContext(*system, path(u"program"_s), path(u"tc/wincmd.ini"_s),
                                         path(u"downloads/"_s));
    }
    Settings read(const QString& iniText) {
        IniDocument store;
        store.setText(iniText);
        Settings settings;
        settings.read(store, context());
        return settings;
    }

    QTemporaryDir m_dir;
    test::FakeMachine machine;
    std::unique_ptr<System> system;
};

TEST_F(SettingsReadTest, OddValuesFallBackAsTheFileFormatSays) {
    using Get = std::function<QString(const SettingValues&)>;
    const auto b = [](bool SettingValues::*f) {
        return Get([f](const SettingValues& v) { return v.*f ? u"T"_s : u"F"_s; });
    };
    const auto i = [](int SettingValues::*f) {
        return Get([f](const SettingValues& v) { return QString::number(v.*f); });
    };
    const auto t = [](QString SettingValues::*f) {
        return Get([f](const SettingValues& v) { return v.*f; });
    };
    struct Case {
        const char* ini;
        Get get;
        QString expected;
    };
    const Case cases[] = {
        {"[GUI]\nAllowResize=1\n", b(&SettingValues::allowResize), u"F"_s},
        {"[GUI]\nAllowResize=TRUE \n", b(&SettingValues::allowResize), u"F"_s},
        {"[GUI]\nAllowResize=yes\n", b(&SettingValues::allowResize), u"F"_s},
        {"[gui]\nallowresize=tRuE\n", b(&SettingValues::allowResize), u"T"_s},
        {"", b(&SettingValues::allowResize), u"T"_s},
        {"[Plugins]\nAutoHideInvalid=\n", b(&SettingValues::plugAutoHideInvalid), u"F"_s},
        {"[Configuration]\nHttpTimeOut=abc\n", i(&SettingValues::httpTimeOut), u"7000"_s},
        {"[Configuration]\nHttpTimeOut= 5000 \n", i(&SettingValues::httpTimeOut), u"5000"_s},
        {"[Configuration]\nHttpTimeOut=\n", i(&SettingValues::httpTimeOut), u"7000"_s},
        // Outside what the Configuration page offers: no time-out at all would wait for ever.
        {"[Configuration]\nHttpTimeOut=-1\n", i(&SettingValues::httpTimeOut), u"7000"_s},
        {"[Configuration]\nHttpTimeOut=0\n", i(&SettingValues::httpTimeOut), u"7000"_s},
        {"[Configuration]\nHttpTimeOut=600001\n", i(&SettingValues::httpTimeOut), u"7000"_s},
        {"[Plugins]\nChecksumDBstate=1.5\n",
         Get([](const SettingValues& v) { return QString::number(modeNumber(v.plugChecksumDbState)); }),
         u"2"_s},
        {"", i(&SettingValues::mainFormL), u"-1"_s},
        {"", i(&SettingValues::updateListW0), QString::number(kDesignedUpdateListWidth / 4 + 38)},
        {"", i(&SettingValues::updateListW2), QString::number(kDesignedUpdateListWidth / 4 - 37)},
        {"[Language]\nCurrentLng= deu \n", t(&SettingValues::currentLng), u"DEU"_s},
        {"[Configuration]\nProxyType= socks4 \n", t(&SettingValues::proxyType), u" socks4 "_s},
        {"[Configuration]\nProxyUsername= bob \n", t(&SettingValues::proxyUsername), u"bob"_s},
        {"", t(&SettingValues::searchEngine), u"https://www.google.com/search?q=%s"_s},
        {"[Sites]\nCatalogue= http://127.0.0.1:8123 \n", t(&SettingValues::siteCatalogue),
         u"http://127.0.0.1:8123/"_s},
        {"", t(&SettingValues::siteForum), u"http://www.ghisler.ch/"_s},
        {"", t(&SettingValues::siteMirror), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.get(read(QString::fromUtf8(c.ini)).values), c.expected) << c.ini;
    EXPECT_EQ(read(QString()).values.plugManualFilePath, path(u"tc/wincmd.ini"_s));
}

TEST(SettingsLocationRule, UseIniInTcDirAcceptsTrueInAnyCaseOrExactlyOne) {
    const std::pair<const char*, bool> cases[] = {
        {"1", true},   {"TRUE", true},   {"true", true}, {"True", true}, {"yes", false},
        {"01", false}, {"False", false}, {"", false},    {"-1", false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(IsTcDirectoryMode(QString::fromLatin1(text)), expected) << text;
}

TEST_F(SettingsReadTest, ExceptionListIsSortedAndUniqueWithoutRegardToCase) {
    const Settings s =
        read(u"[ExceptionList]\n0=%COMMANDER_PATH%\\b.wcx\n1= a.wfx \n7=%commander_path%\\B.WCX\n"
             "; note\n2=c.wlx\n"_s);
    EXPECT_EQ(s.exceptionList(), (QStringList{u"%COMMANDER_PATH%\\b.wcx"_s, u"a.wfx"_s, u"c.wlx"_s}));
}

TEST(ProxyCleanUp, PerProtocolAddressAndPortListsGiveHostAndPort) {
    struct Case {
        QString address, port, wantAddress, wantPort;
    };
    const Case cases[] = {
        {u"proxyhost"_s, u"3128"_s, u"proxyhost"_s, u"3128"_s},
        {u"http=proxyhost"_s, u"80"_s, u"proxyhost"_s, u"80"_s},
        {u"http= proxyhost "_s, u"8080;https=proxyhost:8080"_s, u"proxyhost"_s, u"8080"_s},
        {u"http=proxyhost:8080;https=proxyhost:8443"_s, u"80"_s, u"proxyhost"_s, u"8080"_s},
        {u"http=proxyhost;https=other:8443"_s, u"81"_s, u"proxyhost"_s, u"81"_s},
        {u"proxy"_s, u"8080;8081"_s, u"proxy"_s, u"8080"_s},
        {QString(), u"80"_s, QString(), u"80"_s},
    };
    for (Case c : cases) {
        CleanProxyAddressAndPort(c.address, c.port);
        EXPECT_EQ(c.address, c.wantAddress);
        EXPECT_EQ(c.port, c.wantPort);
    }
}

TEST_F(SettingsReadTest, SystemProxyIsCopiedOnceAndOnlyWhenSwitchedOn) {
    struct Case {
        const char* ini;
        int enable; // -1: value missing
        const char* server;
        bool wantEnabled;
        QString wantAddress, wantPort;
    };
    const Case cases[] = {
        {"", 1, "proxyhost:3128", true, u"proxyhost"_s, u"3128"_s},
        {"", 1, "http=proxyhost:8080;https=proxyhost:8080", true, u"proxyhost"_s, u"8080"_s},
        // No port in the system's value: the configured one stays.
        {"[Configuration]\nProxyPort=8000\n", 1, "proxyhost", true, u"proxyhost"_s, u"8000"_s},
        {"[Configuration]\nProxyAddress=mine\n", 0, "proxyhost:3128", false, u"mine"_s, u"80"_s},
        {"[Configuration]\nProxyAddress=mine\n", -1, "proxyhost:3128", false, u"mine"_s, u"80"_s},
        {"[Additional]\nOneTimeProxyDetect=True\n[Configuration]\nProxyAddress=mine\nProxyPort=9;10\n", 1,
         "proxyhost:3128", false, u"mine"_s, u"9"_s},
    };
    for (const Case& c : cases) {
        machine.hkcu.clear();
        if (c.enable >= 0)
            machine.setRegistryDword(kInternetSettings, "ProxyEnable", static_cast<std::uint32_t>(c.enable));
        machine.setRegistryString(kInternetSettings, "ProxyServer", c.server);
        const Settings s = read(QString::fromUtf8(c.ini));
        EXPECT_TRUE(s.values.oneTimeProxyDetect) << c.ini;
        EXPECT_EQ(s.values.proxyEnabled, c.wantEnabled) << c.server;
        EXPECT_EQ(s.values.proxyAddress, c.wantAddress) << c.server;
        EXPECT_EQ(s.values.proxyPort, c.wantPort) << c.server;
    }
}

} // namespace
} // namespace quillon
