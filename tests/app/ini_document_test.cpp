#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/ini_document.h"
#include "app/ini_edits.h"
#include "support/test_support.h"

using quillon::IniDocument;

TEST(IniDocument, LookupIgnoresCaseAndTakesTextAfterFirstEquals) {
    IniDocument doc;
    doc.setText(QStringLiteral("[Configuration]\r\nProxyAddress=http=proxy:80;https=x\r\n"
                               "Key = a=b \r\nKey=second\r\n"));
    EXPECT_EQ(doc.value(QStringLiteral("configuration"), QStringLiteral("PROXYADDRESS")),
              QStringLiteral("http=proxy:80;https=x"));
    EXPECT_EQ(doc.value(QStringLiteral("Configuration"), QStringLiteral("key")), QStringLiteral(" a=b "));
    EXPECT_EQ(doc.value(QStringLiteral("None"), QStringLiteral("key"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(IniDocument, RoundTripKeepsUnknownContentAndOrder) {
    const QString text = QStringLiteral("; leading comment\r\n"
                                        "[Zeta]\r\nb=2\r\n; inside\r\na=1\r\n\r\n"
                                        "[Alpha]\r\nx=\r\n");
    IniDocument doc;
    doc.setText(text);
    EXPECT_EQ(doc.toText(), text);
    doc.setValue(QStringLiteral("alpha"), QStringLiteral("X"), QStringLiteral("new"));
    doc.setValue(QStringLiteral("Beta"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(doc.toText(), QStringLiteral("; leading comment\r\n"
                                           "[Zeta]\r\nb=2\r\n; inside\r\na=1\r\n\r\n"
                                           "[Alpha]\r\nx=new\r\n\r\n[Beta]\r\nk=v\r\n"));
    EXPECT_EQ(doc.sections(),
              (QStringList{QStringLiteral("Zeta"), QStringLiteral("Alpha"), QStringLiteral("Beta")}));
}

TEST(IniDocument, RemovingKeysAndSectionsKeepsLookupsRight) {
    IniDocument doc;
    doc.setText(QStringLiteral("[A]\nk=1\nk=2\nm=3\n[B]\nz=1\n[C]\ny=2\n"));
    doc.removeKey(QStringLiteral("a"), QStringLiteral("K"));
    EXPECT_FALSE(doc.hasKey(QStringLiteral("A"), QStringLiteral("k")));
    EXPECT_EQ(doc.value(QStringLiteral("A"), QStringLiteral("m")), QStringLiteral("3"));
    doc.removeSection(QStringLiteral("b"));
    EXPECT_EQ(doc.value(QStringLiteral("c"), QStringLiteral("y")), QStringLiteral("2"));
    doc.clearSection(QStringLiteral("C"));
    EXPECT_TRUE(doc.hasSection(QStringLiteral("C")));
    EXPECT_TRUE(doc.keys(QStringLiteral("C")).isEmpty());
}

// Removed lines are left in place and compacted later: lookups, key order, repeated keys and
// keys added back must stay right on both sides of a compaction.
TEST(IniDocument, RemovingMostKeysOfALargeSectionKeepsTheRest) {
    QString text = QStringLiteral("[S]\r\n; note\r\n");
    for (int i = 0; i < 100; ++i)
        text += QStringLiteral("k%1=%1\r\n").arg(i);
    text += QStringLiteral("K3=again\r\n[T]\r\nt=1\r\n");
    IniDocument doc;
    doc.setText(text);
    QString expected = QStringLiteral("[S]\r\n; note\r\n");
    QStringList keys;
    for (int i = 0; i < 100; ++i) {
        if (i % 5 == 4 || i == 99) {
            expected += QStringLiteral("k%1=%1\r\n").arg(i);
            keys << QStringLiteral("k%1").arg(i);
            continue;
        }
        doc.removeKey(QStringLiteral("s"), QStringLiteral("K%1").arg(i));
        if (i == 40) { // before the compaction, and again after it at the end
            EXPECT_EQ(doc.value(QStringLiteral("S"), QStringLiteral("k44")), QStringLiteral("44"));
        }
    }
    EXPECT_EQ(doc.value(QStringLiteral("S"), QStringLiteral("k44")), QStringLiteral("44"));
    EXPECT_FALSE(doc.hasKey(QStringLiteral("S"), QStringLiteral("k3"))); // its repeat went too
    doc.setValue(QStringLiteral("S"), QStringLiteral("k0"), QStringLiteral("back"));
    doc.setValue(QStringLiteral("S"), QStringLiteral("k9"), QStringLiteral("nine"));
    expected.replace(QStringLiteral("k9=9"), QStringLiteral("k9=nine"));
    expected += QStringLiteral("k0=back\r\n\r\n[T]\r\nt=1\r\n");
    keys << QStringLiteral("k0");
    EXPECT_EQ(doc.toText(), expected);
    EXPECT_EQ(doc.keys(QStringLiteral("S")), keys);
    EXPECT_EQ(doc.entries(QStringLiteral("S")).size(), keys.size());
    doc.removeSection(QStringLiteral("S"));
    EXPECT_EQ(doc.value(QStringLiteral("t"), QStringLiteral("T")), QStringLiteral("1"));
}

TEST(IniDocument, Latin1KeepsEveryByte) {
    QByteArray bytes("[Language]\r\nLngName=");
    bytes.append("\xD0\xF3\xF1\xF1\xEA\xE8\xE9"); // "Russian" in code page 1251
    bytes.append("\r\n");
    IniDocument doc(QString(), IniDocument::Encoding::Latin1);
    doc.setBytes(bytes);
    EXPECT_EQ(doc.value(QStringLiteral("Language"), QStringLiteral("LngName")).toLatin1(),
              QByteArray("\xD0\xF3\xF1\xF1\xEA\xE8\xE9"));
    EXPECT_EQ(doc.toBytes(), bytes);
}

TEST(IniDocument, FailedSaveLeavesOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillon.ini"));
    ASSERT_TRUE(quillon::test::writeFile(path, "[Old]\r\nkeep=1\r\n"));
    IniDocument doc(path);
    doc.setValue(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("v"));
    QString error;
    {
        quillon::test::ReadOnlyFolder readOnly(dir.path());
        QUILLON_SKIP_UNLESS(readOnly.ok(), "cannot make a folder read-only here");
        EXPECT_FALSE(doc.save(&error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(quillon::test::readFile(path), QByteArray("[Old]\r\nkeep=1\r\n"));
}

// A user database edited in another code page, or with a stray byte, keeps every byte that is
// no UTF-8 through a read and a write, also when the program changed another value.
TEST(IniDocument, Utf8StoreKeepsBytesThatAreNoUtf8) {
    const QByteArray cases[] = {
        "[a.wcx]\r\nDescription=f\xFCr \xC4rger\r\n",                 // Windows-1252
        "\xEF\xBB\xBF[a.wcx]\r\nNote=caf\xC3\xA9 \xE2\x82\r\n",       // BOM, a cut-off sequence
        "[a.wcx]\r\nNote=\xED\xA0\x80 \xF4\x90\x80\x80 \xC0\xAF\r\n", // surrogate, beyond U+10FFFF, overlong
        "[a.wcx]\r\nNote=\xE7\xEF\xBB\xBF\x99\x84\r\n",               // a mark between stray bytes
    };
    for (const QByteArray& bytes : cases) {
        IniDocument doc;
        doc.setBytes(bytes);
        EXPECT_EQ(doc.toBytes(), bytes);
        doc.setValue(QStringLiteral("b.wcx"), QStringLiteral("Description"), QStringLiteral("Ärger"));
        EXPECT_EQ(doc.toBytes(), bytes + "\r\n[b.wcx]\r\nDescription=\xC3\x84rger\r\n");
    }
}

// Two files joined together: the second one's byte order mark starts a line.
TEST(IniDocument, AByteOrderMarkAtALinesStartIsNoPartOfIt) {
    const struct {
        QByteArray bytes, written;
    } cases[] = {
        {"\xEF\xBB\xBF[a]\r\nk=1\r\n\xEF\xBB\xBF[b]\r\nk=2\r\n",
         "\xEF\xBB\xBF[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n"},
        {"\n\xEF\xBB\xBF\xEF\xBB\xBF", ""},
        {"[a]\r\n\r \xEF\xBB\xBFk=2\r\n", "[a]\r\nk=2\r\n"},
    };
    for (const auto& c : cases) {
        IniDocument doc;
        doc.setBytes(c.bytes);
        EXPECT_EQ(doc.toBytes(), c.written);
        IniDocument reread;
        reread.setBytes(doc.toBytes());
        EXPECT_EQ(reread.toBytes(), c.written);
    }
}

TEST(IniDocument, SaveIfChangedWritesOnlyAChangedDocument) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("userdb.ini"));
    ASSERT_TRUE(quillon::test::writeFile(path, "[a.wcx]\nx=1\n")); // another layout than ours
    IniDocument doc(path);
    ASSERT_TRUE(doc.load());
    ASSERT_TRUE(doc.saveIfChanged());
    EXPECT_EQ(quillon::test::readFile(path), QByteArray("[a.wcx]\nx=1\n"));
    doc.setValue(QStringLiteral("a.wcx"), QStringLiteral("x"), QStringLiteral("2"));
    ASSERT_TRUE(doc.saveIfChanged());
    EXPECT_EQ(quillon::test::readFile(path), QByteArray("[a.wcx]\r\nx=2\r\n"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(doc.saveIfChanged()); // a file that went away is written again
    EXPECT_EQ(quillon::test::readFile(path), QByteArray("[a.wcx]\r\nx=2\r\n"));
}

TEST(IniDocument, EditsOfACopyReplayOnTheOriginalWithoutItsOwnChangesLost) {
    const auto q = [](const char* text) { return QString::fromLatin1(text); };
    IniDocument owner;
    owner.setText(q("[Memory]\r\nkept=1\r\nchanged=old\r\ngone=x\r\n"));
    const IniDocument start = owner;
    IniDocument copy = start;
    copy.setValue(q("Memory"), q("changed"), q("new"));
    copy.removeKey(q("Memory"), q("gone"));
    copy.setValue(q("OverridePlugVer"), q("a.wcx"), q("1|2.0"));
    // Meanwhile the owner changed a key the copy left alone.
    owner.setValue(q("Memory"), q("kept"), q("2"));

    quillon::ApplyIniEdits(owner, quillon::IniEditsBetween(start, copy));
    EXPECT_EQ(owner.value(q("Memory"), q("kept")), q("2"));
    EXPECT_EQ(owner.value(q("Memory"), q("changed")), q("new"));
    EXPECT_FALSE(owner.hasKey(q("Memory"), q("gone")));
    EXPECT_EQ(owner.value(q("OverridePlugVer"), q("a.wcx")), q("1|2.0"));
}
