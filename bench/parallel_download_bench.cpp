// Twenty packages from the fixture server behind its route that answers every request after
// 200 ms (a mirror a few hundred ms away), fetched by the transfer engine with ParallelDownloads
// 4 and with 1, each pass installing every finished file as the pass would hand it on.
//
// - parallel_s, in_turn_s: the two passes' times; ratio: in_turn_s / parallel_s, goal at least 3.
// - identical: 1 when both passes installed the same files with the same contents, in the same
//   order within each folder.
//
// The packages come from two servers (two ports of 127.0.0.1): a server is never asked for
// more than two files at once, so one server alone would cap the gain at 2x. The figures are
// reported, never enforced.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <memory>

#include "fixture_server_process.h"
#include "install/install_order.h"
#include "install/transfer_engine.h"

using namespace Qt::StringLiterals;

namespace {

using namespace quillon::bench;

constexpr int kPackages = 20;
constexpr double kRatioGoal = 3.0;

QString packageName(int index) {
    return u"pkg%1.zip"_s.arg(index, 2, 10, QLatin1Char('0'));
}

// Packages of different sizes, so that later small ones finish before earlier large ones.
class PackageSite {
public:
    PackageSite() {
        for (int i = 0; i < kPackages && m_ready; ++i) {
            QFile file(m_dir.path() + u"/packages/"_s + packageName(i));
            QDir().mkpath(m_dir.path() + u"/packages"_s);
            const QByteArray body(((i * 7) % 5 + 1) * 64 * 1024, static_cast<char>('a' + i));
            m_ready = file.open(QIODevice::WriteOnly) && file.write(body) == body.size();
        }
        if (m_ready) {
            m_servers[0] = std::make_unique<FixtureServer>(m_dir.path());
            m_servers[1] = std::make_unique<FixtureServer>(m_dir.path());
        }
    }
    bool ready() const {
        return m_ready && !m_servers[0]->base().isEmpty() && !m_servers[1]->base().isEmpty();
    }
    QString link(int index) const {
        return m_servers[index % 2]->base() + u"fault/slow/200/packages/"_s + packageName(index);
    }

private:
    QTemporaryDir m_dir;
    bool m_ready = m_dir.isValid();
    std::unique_ptr<FixtureServer> m_servers[2];
};

PackageSite& site() {
    static PackageSite instance;
    return instance;
}

struct PassResult {
    bool ok = false;
    double seconds = 0;
    QMap<QString, QByteArray> installed; // relative path -> hash
    QMap<QString, QStringList> order;    // folder -> packages in the order installed
};

// Folders: every third package shares one, so the order within a folder is exercised.
PassResult runPass(int parallel) {
    PassResult result;
    QTemporaryDir dir;
    quillon::TransferSettings settings;
    settings.downloadDir = dir.path() + u"/downloads/"_s;
    settings.parallelDownloads = parallel;
    QDir().mkpath(settings.downloadDir);
    quillon::DownloadRequestList requests;
    for (int i = 0; i < kPackages; ++i) {
        const QString folder = i % 3 == 0 ? u"shared"_s : u"own%1"_s.arg(i);
        requests.append({site().link(i),
                         settings.downloadDir + packageName(i),
                         {},
                         u"packer"_s,
                         u"/tc/plugins/"_s + folder + u"/plugin.wcx"_s,
                         u"1"_s});
    }
    quillon::TransferEngine engine(requests, settings);
    const QString installRoot = dir.path() + u"/installed/"_s;
    bool copied = true;
    engine.setAfterFile([&](int, const quillon::DownloadRequest& request, const QString& file) {
        const QString folder = quillon::InstallFolderKey(request).section(u'/', -1);
        QDir().mkpath(installRoot + folder);
        const QString target = installRoot + folder + u"/plugin.bin"_s;
        QFile::remove(target);
        copied = QFile::copy(file, target) && copied;
        result.order[folder].append(QFileInfo(file).fileName());
    });
    QElapsedTimer clock;
    clock.start();
    engine.run();
    result.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    int done = 0;
    for (const quillon::TransferRow& row : engine.rows())
        done += row.state == quillon::TransferState::Done;
    QDirIterator files(installRoot, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            result.installed.insert(file.fileName().mid(installRoot.size()),
                                    QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    result.ok = copied && done == kPackages;
    return result;
}

void BM_ParallelAgainstInTurn(benchmark::State& state) {
    if (!site().ready()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    double parallelS = 0;
    double inTurnS = 0;
    bool identical = true;
    int runs = 0;
    for (auto _ : state) {
        const PassResult parallel = runPass(4);
        const PassResult inTurn = runPass(1);
        if (!parallel.ok || !inTurn.ok) {
            state.SkipWithError("a pass did not fetch and install every package");
            return;
        }
        state.SetIterationTime(parallel.seconds);
        parallelS += parallel.seconds;
        inTurnS += inTurn.seconds;
        identical = identical && parallel.installed == inTurn.installed && parallel.order == inTurn.order &&
                    parallel.installed.size() == kPackages * 2 / 3 + 1;
        ++runs;
    }
    const double ratio = parallelS > 0 ? inTurnS / parallelS : 0;
    state.counters["parallel_s"] = parallelS / runs;
    state.counters["in_turn_s"] = inTurnS / runs;
    state.counters["ratio"] = ratio;
    state.counters["goal_ratio"] = kRatioGoal;
    state.counters["identical"] = identical ? 1 : 0;
    state.SetLabel(ratio >= kRatioGoal && identical ? "within the goal" : "OUTSIDE the goal");
}
BENCHMARK(BM_ParallelAgainstInTurn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
