// Reading the version marker out of an executable file.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/common/own_version.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(OwnVersion, MarkerOfThisBuildIsInItsOwnExecutable) {
    EXPECT_STREQ(OwnVersionMarker(), "QUILLON-VERSION:" QUILLON_VERSION);
    // The test program links the reader, so the marker came along.
    EXPECT_EQ(ReadOwnVersionMarker(u"/proc/self/exe"_s), QStringLiteral(QUILLON_VERSION));
}

TEST(OwnVersion, FileContents) {
    const QByteArray m = "QUILLON-VERSION:";
    const QByteArray elf = QByteArray("\x7f"
                                      "ELF") +
                           QByteArray(300, '\0');
    struct Case {
        const char* name;
        QByteArray content;
        QString version;
    } const cases[] = {
        {"in the middle", elf + m + "1.2.3.4" + '\0' + "tail", u"1.2.3.4"_s},
        {"at the very start", m + "1.0-rc2" + '\0', u"1.0-rc2"_s},
        {"a mention without version, then the marker", elf + m + ' ' + m + "2.1" + '\0', u"2.1"_s},
        {"a text about the marker, then the marker", m + "is a marker" + '\0' + m + "3" + '\0', u"3"_s},
        {"ends without its terminator", elf + m + "1.2.3.4", QString()},
        {"no version after it", elf + m + '\0', QString()},
        {"version does not start with a digit", m + "v1.2" + '\0', QString()},
        {"longer than any version", m + QByteArray(40, '1') + '\0', QString()},
        {"no marker", elf + "QUILLON-VERSION" + "0.8" + '\0', QString()},
        {"empty file", QByteArray(), QString()},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.path() + u"/program"_s;
        ASSERT_TRUE(test::writeFile(path, c.content));
        EXPECT_EQ(ReadOwnVersionMarker(path), c.version) << c.name;
    }
    EXPECT_EQ(ReadOwnVersionMarker(dir.path() + u"/missing"_s), QString());
    EXPECT_EQ(ReadOwnVersionMarker(dir.path()), QString()); // a folder
}

} // namespace
} // namespace quillon
