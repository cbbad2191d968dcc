#include "platform/package_owner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace quillon {
namespace {

// A package database of its own: the system's is not the test's to change.
TEST(PackageOwner, FilesListedByAPackageAndTheirOtherSpellings) {
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString info = root + QStringLiteral("/info");
    const QString installed = root + QStringLiteral("/opt/quillon/quillon-cli");
    ASSERT_TRUE(test::writeFile(installed, "program"));
    ASSERT_TRUE(QFile::link(installed, root + QStringLiteral("/link-to-cli")));
    ASSERT_TRUE(test::writeFile(info + QStringLiteral("/quillon:amd64.list"),
                                "/.\n/usr\n/usr/bin/quillon-merged\n" + installed.toUtf8() + "\n"));
    ASSERT_TRUE(test::writeFile(info + QStringLiteral("/other.md5sums"), "/bin/quillon-merged-too\n"));
    const struct {
        QString path;
        std::string owner;
    } cases[] = {
        {installed, "quillon:amd64"},
        {root + QStringLiteral("/link-to-cli"), "quillon:amd64"}, // resolved through the link
        {QStringLiteral("/bin/quillon-merged"), "quillon:amd64"}, // merged /usr
        {QStringLiteral("/bin/quillon-merged-too"), ""},          // not a file list
        {root + QStringLiteral("/opt/quillon/other"), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::PackageOwningFile(QFile::encodeName(c.path).toStdString(),
                                              QFile::encodeName(info).toStdString()),
                  c.owner)
            << c.path.toStdString();
    }
    EXPECT_EQ(platform::PackageOwningFile(installed.toStdString(),
                                          QString(root + QStringLiteral("/none")).toStdString()),
              "");
}

} // namespace
} // namespace quillon
