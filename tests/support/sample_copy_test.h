#pragma once
// Base of the end-to-end tests that change an installation: a private copy of the built sample
// installation with empty settings, download and temporary folders beside it. Skipped when the
// sample or the fixture server was not built, and failed for that reason under CI.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillon::test {

class SampleCopyTest : public ::testing::Test {
protected:
    void SetUp() override;

    // "[Configuration]" with PreInstallAction=1 and the folders below, "[Sites]" pointing the
    // catalogue and Total Commander's site at base, then more as given.
    QByteArray settingsText(const QString& base, const QByteArray& more = {}) const;

    // Files below folder (hidden ones too) whose name matches the wildcard pattern.
    static QStringList findFiles(const QString& folder, const QString& pattern);

    QTemporaryDir m_dir;
    QString prefix;    // the copy of the sample's Wine prefix
    QString settings;  // --settings-dir
    QString downloads; // DownloadDir
    QString temp;      // TempDirectory
};

} // namespace quillon::test
