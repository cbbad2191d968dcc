#pragma once
// The real main window over a private copy of the sample installation, its sites pointed at the
// fixture server, questions answered "No" without a box.
#include <QList>
#include <QUrl>

#include <memory>

#include "engine/app_core.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "support/fixture_server.h"
#include "support/sample_copy_test.h"

namespace quillon::test {

// Collects the addresses the window hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class WindowTest : public SampleCopyTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A catalogue page listing records, as the fixture's list page serves it.
    void cataloguePage(const QByteArray& records);
    // The server over the content written so far; Quillon.ini pointing at it (catalogue at
    // cataloguePath below the base), with more settings as given.
    void serve(const QString& cataloguePath = {}, const QByteArray& more = {});
    // Starts core and window and waits for the filled list. False when it never filled.
    bool open(const QStringList& switches = {});
    bool runCheck();
    void close();

    const UpdateList& list() const { return core->updateList(); }
    int rowOf(const QString& fileName) const;

    QString content;
    // The program the window takes for itself; empty: the test binary.
    QString programPath;
    std::unique_ptr<FixtureServerProcess> server;
    std::unique_ptr<ui::MessageBoxPrompter> prompter;
    std::unique_ptr<AppCore> core;
    std::unique_ptr<ui::Ttc_Updater> window;
};

} // namespace quillon::test
