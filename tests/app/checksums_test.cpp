#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/common/checksums.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

QByteArray patternBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (char& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = char(x & 0xFF);
    }
    return bytes;
}

TEST(FileCrc32, MatchesTheStandardValueAcrossBlockBoundaries) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QByteArray content;
        quint32 expected; // as zlib's crc32() gives it
    };
    const Case cases[] = {
        {"", 0u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {patternBytes(65536), 0xC90CB56Cu},
        {patternBytes(65536 * 3 + 17), 0x2295E8DDu},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(u"f%1.bin"_s.arg(n++));
        ASSERT_TRUE(test::writeFile(path, c.content));
        EXPECT_EQ(Crc32OfBytes(c.content), c.expected) << c.content.size();
        EXPECT_EQ(FileCrc32(path), c.expected) << c.content.size();
        EXPECT_EQ(FileCrc32OrZero(path), c.expected) << c.content.size();
    }
}

TEST(FileCrc32, ReportsFailureWhereTheZeroVariantGivesZero) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& path : {dir.filePath(u"missing.dll"_s), dir.path(), QString()}) {
        QString error;
        EXPECT_FALSE(FileCrc32(path, &error).has_value()) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        EXPECT_EQ(FileCrc32OrZero(path), 0u) << path.toStdString();
    }
}

} // namespace
