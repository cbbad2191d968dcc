#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "install/archive_entry_guard.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(CheckArchiveEntry, KeepsOrdinaryNamesAndRefusesEveryWayOut) {
    struct Case {
        QString stored;
        ArchiveEntryKind kind;
        QString expected; // empty: refused
    };
    const Case cases[] = {
        {u"plugin.wcx"_s, ArchiveEntryKind::File, u"plugin.wcx"_s},
        {u"lang\\de\\plugin.lng"_s, ArchiveEntryKind::File, u"lang/de/plugin.lng"_s},
        {u"./a//b/./c.txt"_s, ArchiveEntryKind::File, u"a/b/c.txt"_s},
        {u"docs/"_s, ArchiveEntryKind::Directory, u"docs"_s},
        {u"Übersicht/読んで.txt"_s, ArchiveEntryKind::File, u"Übersicht/読んで.txt"_s},
        {u"a..b/..c"_s, ArchiveEntryKind::File, u"a..b/..c"_s},
        {u"../evil.dll"_s, ArchiveEntryKind::File, {}},
        {u"..\\evil.dll"_s, ArchiveEntryKind::File, {}},
        {u"a/../../b"_s, ArchiveEntryKind::File, {}},
        {u"a/.."_s, ArchiveEntryKind::Directory, {}},
        {u"a/.../b"_s, ArchiveEntryKind::File, {}},
        {u"a/.. /b"_s, ArchiveEntryKind::File, {}},
        {u"/abs"_s, ArchiveEntryKind::File, {}},
        {u"\\abs"_s, ArchiveEntryKind::File, {}},
        {u"\\\\server\\share\\x"_s, ArchiveEntryKind::File, {}},
        {u"C:\\x"_s, ArchiveEntryKind::File, {}},
        {u"c:x.dll"_s, ArchiveEntryKind::File, {}},
        {u"file.txt:stream"_s, ArchiveEntryKind::File, {}},
        {u"a\nb"_s, ArchiveEntryKind::File, {}},
        {u"nul\u0000byte"_s, ArchiveEntryKind::File, {}},
        {u""_s, ArchiveEntryKind::File, {}},
        {u"./"_s, ArchiveEntryKind::Directory, {}},
        {u"link"_s, ArchiveEntryKind::Link, {}},
        {u"fifo"_s, ArchiveEntryKind::Other, {}},
    };
    for (const Case& c : cases) {
        const ArchiveEntryVerdict verdict = CheckArchiveEntry(c.stored, c.kind);
        EXPECT_EQ(verdict.safe(), !c.expected.isEmpty()) << c.stored.toStdString();
        EXPECT_EQ(verdict.relativePath, c.expected) << c.stored.toStdString();
        if (!verdict.safe()) {
            EXPECT_FALSE(verdict.refusal.isEmpty());
        }
    }
}

TEST(StaysBelowRoot, RefusesPathsThroughExistingLinks) {
    QTemporaryDir root;
    QTemporaryDir outside;
    ASSERT_TRUE(QDir(root.path()).mkpath(u"real/sub"_s));
    ASSERT_TRUE(QFile::link(outside.path(), root.filePath(u"real/escape"_s)));
    ASSERT_TRUE(QFile::link(outside.filePath(u"target.txt"_s), root.filePath(u"file-link"_s)));

    const std::pair<QString, bool> cases[] = {
        {u"real/sub/new.txt"_s, true},     {u"missing/deeper/new.txt"_s, true},
        {u"real/escape/new.txt"_s, false}, {u"real/escape"_s, false},
        {u"file-link"_s, false},
    };
    for (const auto& [relative, expected] : cases)
        EXPECT_EQ(StaysBelowRoot(root.path(), relative), expected) << relative.toStdString();
    EXPECT_EQ(StaysBelowRoot(root.path() + u"/"_s, u"real/sub"_s), true);
}

} // namespace
