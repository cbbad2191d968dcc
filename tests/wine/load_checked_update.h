#pragma once
// An update that the load check judges, in the test prefix: the prefix's sampack.wcx64 as the
// sample has it (a plugin that loads), and the fixture catalogue's update of it bringing the
// plugin file a test chooses. Settings for quillon-cli and the window alike.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "support/fixture_server.h"

namespace quillon::test {

// A test plugin as the build made it (tests/data/load_plugins); empty when it is missing.
QByteArray builtLoadPlugin(const QString& name);

class LoadCheckedUpdate {
public:
    // False with the reason reported to the test when anything could not be set up.
    bool prepare(const QByteArray& packagedPlugin);

    QString plugin;      // the prefix's sampack.wcx64
    QByteArray previous; // its file before the update, one that loads
    QString settings;    // --settings-dir

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FixtureServerProcess> m_server;
};

} // namespace quillon::test
