#include "wine/load_checked_update.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "support/zip_writer.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon::test {

QByteArray builtLoadPlugin(const QString& name) {
    return readFile(QStringLiteral(QUILLON_LOAD_PLUGIN_DIR "/") + name);
}

bool LoadCheckedUpdate::prepare(const QByteArray& packagedPlugin) {
    const WineWorld* world = wineWorld();
    if (!world || !m_dir.isValid()) {
        ADD_FAILURE() << "no Wine prefix or no scratch folder";
        return false;
    }
    plugin = world->prefix + u"/drive_c/totalcmd/plugins/wcx/sampack/sampack.wcx64"_s;
    previous = readFile(QStringLiteral(QUILLON_BUILD_DIR
                                       "/sample/prefix/drive_c/totalcmd/plugins/wcx/sampack/sampack.wcx64"));
    const QString content = m_dir.path() + u"/content"_s;
    const QString downloads = m_dir.path() + u"/downloads"_s;
    const QString temp = m_dir.path() + u"/temp"_s;
    settings = m_dir.path() + u"/settings"_s;
    const QByteArray inf = "[plugininstall]\r\ndescription=Sample Packer 2.2\r\ntype=wcx\r\n"
                           "file=sampack.wcx64\r\ndefaultdir=sampack\r\n";
    // Dated as the sample's files are: a file of today would be newer than the catalogue's update.
    QFile installed(plugin);
    if (previous.isEmpty() || packagedPlugin.isEmpty() || !writeFile(plugin, previous) ||
        !installed.open(QIODevice::ReadWrite) ||
        !installed.setFileTime(QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC),
                               QFileDevice::FileModificationTime) ||
        !copyTree(FixtureServerProcess::generatedContent(), content) ||
        !writeZip(content + u"/packages/sampack.zip"_s,
                  {{u"sampack.wcx64"_s, packagedPlugin}, {u"pluginst.inf"_s, inf}}) ||
        !QDir().mkpath(downloads) || !QDir().mkpath(temp)) {
        ADD_FAILURE() << "the plugins, the fixture content or the package could not be written";
        return false;
    }
    m_server = std::make_unique<FixtureServerProcess>(content);
    const QByteArray base = m_server->base().toUtf8();
    if (base.isEmpty() ||
        !writeFile(
            settings + u"/Quillon.ini"_s,
            "[Configuration]\nPreInstallAction=1\nInstallAfterDL=True\nDownloadDir=" + downloads.toUtf8() +
                "/\nTempDirectory=" + temp.toUtf8() + "/\n[Additional]\nOneTimeUpdateQuestion=True\n" +
                "[Sites]\nCatalogue=" + base + "\nTotalCommander=" + base + "\n")) {
        ADD_FAILURE() << "the fixture server did not start or the settings were not written";
        return false;
    }
    return true;
}

} // namespace quillon::test
