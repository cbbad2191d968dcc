#pragma once
// A core started over a small Wine-style prefix of its own: Total Commander with one plugin the
// plugin database knows (sampack.wcx64), one the user database will know (mine.wlx64) and one no
// database knows (other.wfx64); pages opened for the user are recorded instead of opened.
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/scripted_prompter.h"
#include "engine/app_core.h"

namespace quillon::test {

// What QDesktopServices was asked to open while it lives.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls();
    ~OpenedUrls() override;
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls.append(url.toString()); }
};

class GuiCoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a core over the prefix (siteBase: where [Sites] point; empty: nowhere reachable),
    // runs the inventory pass.
    std::unique_ptr<AppCore> start(const QString& siteBase = {});
    // The row of the file with this name, or -1.
    static int rowOf(const AppCore& core, const QString& fileName);

    QTemporaryDir m_root;
    QString prefix, tcDir, settingsDir;
    ScriptedPrompter prompter;
    OpenedUrls opened;

private:
    std::map<std::string, std::optional<QByteArray>> m_savedEnv;
};

} // namespace quillon::test
