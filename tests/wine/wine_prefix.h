#pragma once
// The one Wine prefix of a test run: a copy of the sample installation booted by Wine with the
// null graphics driver (no display needed), shared by every test of this program, and ended with
// its wineserver when the program ends. Tests skip when Wine is missing, and fail in CI.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillon::test {

struct WineWorld {
    QString wine;
    QString prefix;
    QString bridge; // the bridge program as the build made it
    QString standIn;
};

// The environment of every Wine process of the tests: the prefix, no display, no debug output.
QProcessEnvironment wineEnvironment(const QString& prefix);

// Nullptr when there is no prefix; the reason was already reported.
const WineWorld* wineWorld();
// Call at the start of each test: skips or fails it when there is no prefix.
#define QUILLON_REQUIRE_WINE()                                                                               \
    do {                                                                                                     \
        if (!::quillon::test::wineWorld()) {                                                                 \
            GTEST_SKIP() << "no Wine prefix for this run";                                                   \
        }                                                                                                    \
    } while (false)

// The stand-in for Total Commander's window, started from hostExe in the prefix; it logs every
// message to its log file. Killed when it goes out of scope and still runs.
class StandIn {
public:
    StandIn(const QString& hostExe, const QString& hostLog, const QStringList& options = {});
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    // Waits until the window exists; false when it did not come up.
    bool ready();
    // The logged lines but the first ("READY").
    QStringList messages() const;
    // Waits until it ends by itself; false when it still runs after the wait.
    bool waitUntilGone(int milliseconds);

private:
    QString m_log;
    QProcess m_process;
};

} // namespace quillon::test
