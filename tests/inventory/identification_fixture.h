#pragma once
// A sample Total Commander directory in a temporary folder, the stores identification reads and
// an identifier over them.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "app/ini_document.h"
#include "inventory/item_identification.h"
#include "inventory/update_list.h"
#include "support/test_support.h"

namespace quillon::test {

class IdentificationFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!requireMingw())
            GTEST_SKIP() << "MinGW-built PE files are not available";
        tcDir = tmp.path() + QStringLiteral("/tc");
        QDir().mkpath(tcDir);
    }

    static QString pe(const char* name) {
        return QStringLiteral(QUILLON_GENERATED_DATA_DIR "/pe/") + QLatin1String(name);
    }

    // Copies a built PE file into the sample directory (relative to Total Commander's).
    QString install(const char* source, const QString& relative, const QDateTime& modified = {}) {
        const QString target = tcDir + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(pe(source), target)) << relative.toStdString();
        QFile f(target);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(modified.isValid() ? modified : QDateTime(QDate(2024, 3, 1), QTime(12, 0)),
                      QFileDevice::FileModificationTime);
        return target;
    }

    QString text(const QString& relative, const QByteArray& content) {
        const QString path = tcDir + QLatin1Char('/') + relative;
        EXPECT_TRUE(writeFile(path, content));
        return path;
    }

    PathForms paths() const {
        const QString dir = tcDir;
        const auto toEnv = [dir](const QString& p) {
            return p.startsWith(dir + QLatin1Char('/'))
                       ? QStringLiteral("%COMMANDER_PATH%") + p.mid(dir.size())
                       : p;
        };
        const auto expand = [dir](const QString& p) {
            QString r = p;
            return r.replace(QStringLiteral("%COMMANDER_PATH%"), dir, Qt::CaseInsensitive);
        };
        return {toEnv, toEnv, expand};
    }

    ItemIdentifier& identifier() {
        identifierPtr = std::make_unique<ItemIdentifier>(
            list, IdentificationStores{pluginDb, userDb, checksumDb, userPluginInfo, settings}, options,
            paths(), ownExecutable);
        return *identifierPtr;
    }

    // Identifies path in group 1 with the options as they are now; the row or -1.
    int identify(const QString& path, int group = 1) {
        return identifier().GetPluginInformation(group, path);
    }

    QTemporaryDir tmp;
    QString tcDir;
    UpdateList list;
    IniDocument pluginDb;
    IniDocument userDb;
    IniDocument checksumDb;
    IniDocument userPluginInfo;
    IniDocument settings;
    IdentificationOptions options;
    QString ownExecutable;
    std::unique_ptr<ItemIdentifier> identifierPtr;
};

} // namespace quillon::test
