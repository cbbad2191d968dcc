#include "support/sample_copy_test.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "support/fixture_server.h"
#include "support/test_support.h"

namespace quillon::test {

void SampleCopyTest::SetUp() {
    const QString sample = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
    QUILLON_SKIP_UNLESS(QFileInfo::exists(sample + QStringLiteral("/user.reg")) &&
                            QFileInfo::exists(FixtureServerProcess::program()),
                        "the sample installation or the fixture server was not built");
    prefix = m_dir.path() + QStringLiteral("/prefix");
    settings = m_dir.path() + QStringLiteral("/settings");
    downloads = m_dir.path() + QStringLiteral("/downloads");
    temp = m_dir.path() + QStringLiteral("/temp");
    ASSERT_TRUE(copyTree(sample, prefix));
    for (const QString& folder : {settings, downloads, temp})
        ASSERT_TRUE(QDir().mkpath(folder));
}

QByteArray SampleCopyTest::settingsText(const QString& base, const QByteArray& more) const {
    return "[Configuration]\nPreInstallAction=1\nDownloadDir=" + downloads.toUtf8() +
           "/\nTempDirectory=" + temp.toUtf8() + "/\n[Sites]\nCatalogue=" + base.toUtf8() +
           "\nTotalCommander=" + base.toUtf8() + "\n" + more;
}

QStringList SampleCopyTest::findFiles(const QString& folder, const QString& pattern) {
    QStringList found;
    QDirIterator it(folder, {pattern}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(it.next());
    return found;
}

} // namespace quillon::test
