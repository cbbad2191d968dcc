// Total Commander's version: the title and HISTORY.TXT parsers, and the detector over real PE
// files with the checksum database, the intelligent detection switch and the architecture.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/common/checksums.h"
#include "app/ini_document.h"
#include "app/settings_fake_system.h"
#include "inventory/tc_version_row.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "tcdetect/tc_locator.h"
#include "tcdetect/tc_version.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(TcVersionText, NormalisationTables) {
    struct Row {
        QString input, title, history;
    };
    const Row rows[] = {
        {u"8.50 public beta 1"_s, u"8.50Pß1"_s, u"8.50Pß1"_s},
        {u"8.01 rc5"_s, u"8.01RC5"_s, u"8.01RC5"_s},
        {u"7.56a Final"_s, u"7.56a"_s, u"7.56a"_s},
        {u"11.51 release candidate 2"_s, u"11.51RC2"_s, u"11.51RC2"_s},
        {u"9.0 BETA 3"_s, u"9.0ß3"_s, u"9.0ß3"_s},
        // Only the history knows "alpha".
        {u"10.00 alpha 1"_s, u"10.00alpha1"_s, u"10.00α1"_s},
        {u" 6.5 \t public "_s, u"6.5"_s, u"6.5"_s},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NormalizeTitleVersion(row.input), row.title) << row.input.toStdString();
        EXPECT_EQ(NormalizeHistoryVersion(row.input), row.history) << row.input.toStdString();
    }
}

TEST(TcVersionText, WindowTitle) {
    struct Row {
        QString title, base, expected;
    };
    const Row rows[] = {
        {u"Total Commander 8.50 public beta 1 - John Smith"_s, u"8.50"_s, u"8.50Pß1"_s},
        {u"Total Commander (x64) 8.01 rc5 - NOT REGISTERED"_s, {}, u"8.01RC5"_s},
        {u"Total Commander (x64) 11.51 - Anna"_s, u"11.51"_s, u"11.51"_s},
        {u"total commander 9.12 - x"_s, {}, u"9.12"_s},
        // No dash: not a version title.
        {u"Total Commander 8.50"_s, {}, {}},
        // Longer than eight characters after normalisation.
        {u"Total Commander 11.51 build 2024 - Anna"_s, {}, {}},
        // No dot, or nothing between the name and the dash.
        {u"Total Commander 11 - Anna"_s, {}, {}},
        {u"Total Commander - Anna"_s, {}, {}},
        // A dash only inside the part before the version.
        {u"Ex-Total Commander 8.50"_s, {}, {}},
        {u"Another program 8.50 - x"_s, {}, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(VersionFromWindowTitle(row.title, row.base), row.expected) << row.title.toStdString();
}

TEST(TcVersionText, HistoryFirstLine) {
    struct Row {
        QString line, expected;
    };
    const Row rows[] = {
        {u"Total Commander 7.56a final (History of changes)"_s, u"7.56a"_s},
        {u"Total Commander 11.51 public beta 2 (History)"_s, u"11.51Pß2"_s},
        {u"TOTAL COMMANDER 10.00 alpha 1"_s, u"10.00α1"_s},
        // Without the name, the text from character 15 on.
        {u"Windows Commander 4.0 (history)"_s, u"er4.0"_s},
        {u"Total Commander history"_s, {}},
        {u""_s, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(VersionFromHistoryLine(row.line), row.expected) << row.line.toStdString();
}

// A platform whose Total Commander window runs with a given title.
class WindowPlatform : public test::FakePlatform {
public:
    WindowPlatform(test::FakeMachine& machine, std::string title, std::string exe)
        : FakePlatform(machine), m_title(std::move(title)), m_exe(std::move(exe)) {}
    platform::TcWindowState state(platform::TcWindow::Cancel) override {
        platform::TcWindowState state;
        state.running = !m_title.empty();
        state.title = m_title;
        state.processPath = m_exe;
        return state;
    }

private:
    std::string m_title;
    std::string m_exe;
};

enum class CrcEntry { None, Decimal, Hex };
enum class Arch { Plain, ManifestX86, ManifestAmd64 };

struct DetectCase {
    const char* name;
    bool intelli;
    int checksumDbState;
    CrcEntry crc;
    Arch arch;
    const char* title;   // "" when Total Commander is not running
    const char* history; // nullptr: no HISTORY.TXT
    const char* version;
    const char* caption;
};

void PrintTo(const DetectCase& c, std::ostream* os) {
    *os << c.name;
}

class TcVersionDetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(TcVersionDetectTest, Version) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-built PE files are not available";
    const DetectCase& c = GetParam();
    QTemporaryDir dir;
    const QString exe = dir.path() + u"/TOTALCMD64.EXE"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_GENERATED_DATA_DIR "/pe/us_english_1252_64.dll"), exe));
    if (c.arch != Arch::Plain) {
        const QByteArray arch = c.arch == Arch::ManifestAmd64 ? "amd64" : "x86";
        ASSERT_TRUE(
            test::writeFile(exe + u".MANIFEST"_s, "<assembly><assemblyIdentity processorArchitecture=\"" +
                                                      arch + "\"/></assembly>"));
    }
    if (c.history) {
        ASSERT_TRUE(test::writeFile(dir.path() + u"/HISTORY.TXT"_s, c.history));
    }

    IniDocument checksumDb;
    const quint32 crc = FileCrc32OrZero(exe);
    if (c.crc == CrcEntry::Decimal)
        checksumDb.setText(u"[totalcmd64.exe]\r\n"_s + QString::number(crc) + u"=8.50ß1\r\n"_s);
    if (c.crc == CrcEntry::Hex)
        checksumDb.setText(u"[TOTALCMD64.EXE]\r\n1=7.0\r\n"_s +
                           QString::number(crc, 16).toUpper().rightJustified(8, u'0') + u"=9.0RC1\r\n"_s);

    test::FakeMachine machine;
    System system(std::make_unique<WindowPlatform>(machine, c.title, exe.toStdString()));
    const TcLocator locator(system);
    const TcVersionDetector detector(system, locator, checksumDb, {c.intelli, c.checksumDbState});
    const TcVersionFacts facts = detector.detect(exe, dir.path());
    EXPECT_EQ(facts.version, QString::fromUtf8(c.version));
    EXPECT_EQ(facts.caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(facts.exeFile, exe);
}

// The sample executable: FileVersion "1.2.3.4", ProductVersion "1.2 beta", ProductName "Sample
// Packer", a description without "32" or "86" (so 64-bit without a manifest).
INSTANTIATE_TEST_SUITE_P(
    Sources, TcVersionDetectTest,
    ::testing::Values(DetectCase{"IntelliWithoutTitleOrHistory", true, 2, CrcEntry::None, Arch::Plain, "",
                                 nullptr, "-", "Sample Packer (x64)"},
                      DetectCase{"IntelliHistory", true, 2, CrcEntry::None, Arch::Plain, "",
                                 "Total Commander 11.51 final (History)\r\nmore\r\n", "11.51",
                                 "Sample Packer (x64)"},
                      DetectCase{"IntelliTitleBeatsHistory", true, 2, CrcEntry::None, Arch::Plain,
                                 "Total Commander (x64) 8.01 rc5 - NOT REGISTERED",
                                 "Total Commander 7.0 final\r\n", "8.01RC5", "Sample Packer (x64)"},
                      DetectCase{"IntelliRejectedTitleFallsToHistory", true, 2, CrcEntry::None, Arch::Plain,
                                 "Total Commander 11.51 build 20240601 - Anna",
                                 "Total Commander 11.51 rc2 (h)\r\n", "11.51RC2", "Sample Packer (x64)"},
                      DetectCase{"ChecksumDecimal", false, 2, CrcEntry::Decimal, Arch::Plain, "", nullptr,
                                 "8.50ß1", "Sample Packer (x64)"},
                      DetectCase{"ChecksumHex", false, 1, CrcEntry::Hex, Arch::Plain, "", nullptr, "9.0RC1",
                                 "Sample Packer (x64)"},
                      DetectCase{"ChecksumStateZeroUsesFileVersion", false, 0, CrcEntry::Decimal, Arch::Plain,
                                 "", nullptr, "1.2.3.4", "Sample Packer (x64)"},
                      DetectCase{"UnlistedX86UsesProductVersion", false, 2, CrcEntry::None, Arch::ManifestX86,
                                 "", nullptr, "1.2 beta", "Sample Packer (x86)"},
                      DetectCase{"ManifestAmd64", false, 2, CrcEntry::None, Arch::ManifestAmd64, "", nullptr,
                                 "1.2.3.4", "Sample Packer (x64)"},
                      // The checksum version is where the title's version starts.
                      DetectCase{"TitleFoundThroughChecksumVersion", true, 2, CrcEntry::Decimal, Arch::Plain,
                                 "Total Commander 8.50ß1 - Anna", nullptr, "8.50ß1", "Sample Packer (x64)"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(TcVersionRow, RefreshDecidesStateAgainstLatest) {
    struct Row {
        QString installed, latest;
        ItemState state;
        bool checked;
    };
    const Row rows[] = {
        {u"11.0"_s, u"11.51"_s, ItemState::Update, true},
        {u"11.51"_s, u"11.51"_s, ItemState::Ok, false},
        {u"11.51"_s, u"-"_s, ItemState::Unknown, false},
        {u"11.51RC2"_s, u"11.51"_s, ItemState::Update, true},
    };
    for (const Row& row : rows) {
        UpdateList list;
        TcVersionFacts facts{u"/tc/TOTALCMD64.EXE"_s,    false, {},      u"x64"_s,
                             u"Total Commander (x64)"_s, {},    u"1.0"_s};
        ASSERT_TRUE(ApplyTcVersionRow(list, facts, true));
        list.addRow(u"Other"_s, u"1.0"_s, u"/tc/a.wcx"_s, ItemGroup::Wcx);
        list.takeSnapshot();
        list.setLatestVersion(0, row.latest);
        facts.version = row.installed;
        ASSERT_TRUE(ApplyTcVersionRow(list, facts, false));
        EXPECT_EQ(list.rowCount(), 2);
        EXPECT_EQ(list.row(0).InstalledVersion, row.installed);
        EXPECT_EQ(list.state(0), row.state) << row.installed.toStdString();
        EXPECT_EQ(list.row(0).Checked, row.checked);
        EXPECT_EQ(list.snapshot().lines().first().InstalledVersion, row.installed);
    }
    UpdateList empty;
    EXPECT_FALSE(ApplyTcVersionRow(empty, TcVersionFacts{}, false));
}

} // namespace
} // namespace quillon
