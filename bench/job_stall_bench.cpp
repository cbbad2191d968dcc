// How long the main thread's event loop stalls while a core job runs on a worker thread, as
// it would under a window: a 1 ms timer ticks on the main thread, the job's progress arrives
// there as queued calls, and an installed file's row refresh is applied there. max_stall_ms
// is the longest gap between two ticks over all runs; the goal is at most 50 ms.
//
// The jobs: the inventory pass over the generated 2,300-file installation, its outcome applied on
// the main thread as the window applies it; the update check of
// that list against the fixture server, its catalogue behind a route that answers after 1 s;
// the download-and-install pass of every updatable row of a copy of the sample installation.
// The fixture server and the sample come from the build tree; without them those runs are
// skipped.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/scripted_prompter.h"
#include "app/settings.h"
#include "engine/app_core.h"
#include "engine/check_job.h"
#include "engine/update_pass.h"
#include "fixture_server_process.h"
#include "generated_installation.h"
#include "inventory/update_list.h"
#include "loop_stall_meter.h"

using namespace Qt::StringLiterals;

namespace {

using namespace quillon::bench;

constexpr int kSlowCatalogueMs = 1000;
constexpr double kCancelGoalMs = 200;

// What a window does with the job's progress: take it on its own thread, one queued call each.
class QueuedProgress final : public quillon::ProgressSink {
public:
    QueuedProgress(QObject& owner, qint64& received) : m_owner(owner), m_received(received) {}
    void report(const quillon::JobProgress& progress) override {
        QMetaObject::invokeMethod(
            &m_owner,
            [this, progress] {
                ++m_received;
                m_shown = progress.text + QString::number(progress.done);
            },
            Qt::QueuedConnection);
    }

private:
    QObject& m_owner;
    qint64& m_received;
    QString m_shown;
};

struct JobRun {
    qint64 longestGapNs = 0;
    qint64 ticks = 0;
    qint64 progressCalls = 0;
};

using Job = std::function<void(const quillon::CancelToken&, quillon::ProgressSink&)>;

// Runs job on a worker thread while the main thread's event loop ticks every millisecond; then,
// still inside the loop, applied on the main thread (a window's use of the job's outcome).
JobRun runMeasured(const Job& job, QObject& owner, const std::function<void()>& applied = {}) {
    JobRun run;
    QueuedProgress progress(owner, run.progressCalls);
    const quillon::CancelToken cancel;
    QEventLoop loop;
    LoopStallMeter meter;
    std::unique_ptr<QThread> worker(QThread::create([&] { job(cancel, progress); }));
    QObject::connect(worker.get(), &QThread::finished, &loop, [&loop, &applied] {
        if (applied)
            applied();
        loop.quit();
    });
    meter.start();
    worker->start();
    loop.exec();
    meter.stop();
    worker->wait();
    run.longestGapNs = meter.longestGapNs();
    run.ticks = meter.ticks();
    // Progress still queued belongs to this run.
    QCoreApplication::sendPostedEvents(&owner);
    return run;
}

void report(benchmark::State& state, const JobRun& worst, qint64 progressCalls) {
    const double stallMs = static_cast<double>(worst.longestGapNs) / 1e6;
    state.counters["max_stall_ms"] = stallMs;
    state.counters["goal_ms"] = kStallGoalMs;
    state.counters["ticks"] = static_cast<double>(worst.ticks);
    state.counters["progress_calls"] = static_cast<double>(progressCalls);
    state.SetLabel(stallMs <= kStallGoalMs ? "within the goal" : "OVER the goal");
}

// A started core over the generated installation, the sites at the fixture server.
std::unique_ptr<quillon::AppCore> generatedCore(quillon::ScriptedPrompter& prompter,
                                                const QString& catalogue) {
    GeneratedInstallation& in = installation();
    in.writeSites(catalogue, server().base());
    auto core = std::make_unique<quillon::AppCore>(prompter, platformFor(in));
    quillon::StartOptions start;
    start.settingsDir = in.settingsDir();
    start.programPath = in.programPath();
    start.language = u"1033"_s;
    core->startUp(quillon::CommandLine({start.programPath}), start);
    return core;
}

void BM_InventoryPassJob(benchmark::State& state) {
    quillon::ScriptedPrompter prompter;
    auto core = generatedCore(prompter, server().base());
    QObject owner;
    JobRun worst;
    qint64 progressCalls = 0;
    int rows = 0;
    for (auto _ : state) {
        // The window's path: the job builds on copies, the owner's thread applies the outcome.
        quillon::InventoryOutcome outcome;
        const quillon::AppCore& reader = *core;
        const JobRun run = runMeasured(
            [&reader, &outcome](const quillon::CancelToken& cancel, quillon::ProgressSink& sink) {
                outcome = reader.inventory(false, cancel, [&sink](int row, bool) {
                    sink.report({QString(), row, -1});
                });
            },
            owner, [&core, &outcome] { core->applyInventory(std::move(outcome)); });
        worst = run.longestGapNs > worst.longestGapNs ? run : worst;
        progressCalls += run.progressCalls;
        rows = core->updateList().rowCount();
    }
    state.counters["rows"] = rows;
    report(state, worst, progressCalls);
}
BENCHMARK(BM_InventoryPassJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_UpdateCheckJob(benchmark::State& state) {
    if (server().base().isEmpty()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    quillon::ScriptedPrompter prompter;
    auto core = generatedCore(prompter, server().base() + u"fault/slow/%1/"_s.arg(kSlowCatalogueMs));
    core->runInventoryPass();
    const quillon::DetectionOptions detection =
        quillon::DetectionOptions::fromValues(core->settings().values);
    QObject owner;
    JobRun worst;
    qint64 progressCalls = 0;
    int records = 0;
    for (auto _ : state) {
        quillon::CheckJob job(*core, detection);
        std::optional<quillon::CheckOutcome> outcome;
        const JobRun run = runMeasured(
            [&](const quillon::CancelToken& cancel, quillon::ProgressSink& sink) {
                quillon::CheckJobResult result = job.run(-1, cancel, sink);
                records = result.run.recordCount;
                outcome = std::move(result.outcome);
            },
            owner);
        if (outcome)
            quillon::ApplyCheckOutcome(*core, *outcome);
        worst = run.longestGapNs > worst.longestGapNs ? run : worst;
        progressCalls += run.progressCalls;
    }
    if (records == 0)
        state.SkipWithError("the check got no catalogue record");
    state.counters["rows"] = core->updateList().rowCount();
    report(state, worst, progressCalls);
}
BENCHMARK(BM_UpdateCheckJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// How soon a cancelled job gives control back: the update check is cancelled while it waits for
// a catalogue that answers only after 30 s. max_cancel_ms is the longest time from the cancel to
// the end of the job's thread; the goal is at most 200 ms.
void BM_CancelCheckJob(benchmark::State& state) {
    if (server().base().isEmpty()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    quillon::ScriptedPrompter prompter;
    const QString slow = u"fault/slow/30000/"_s;
    auto core = generatedCore(prompter, server().base() + slow);
    core->runInventoryPass();
    const quillon::DetectionOptions detection =
        quillon::DetectionOptions::fromValues(core->settings().values);
    qint64 longestNs = 0;
    for (auto _ : state) {
        quillon::CheckJob job(*core, detection);
        const quillon::CancelToken cancel;
        quillon::NullProgressSink none;
        bool dropped = false;
        std::unique_ptr<QThread> worker(
            QThread::create([&] { dropped = !job.run(-1, cancel, none).outcome.has_value(); }));
        worker->start();
        if (!server().waitForRequest(u'/' + slow, 30000)) {
            state.SkipWithError("the catalogue was never asked for");
            worker->wait();
            return;
        }
        QElapsedTimer sinceCancel;
        sinceCancel.start();
        cancel.cancel();
        worker->wait();
        longestNs = std::max(longestNs, sinceCancel.nsecsElapsed());
        if (!dropped)
            state.SkipWithError("the cancelled check gave an outcome");
    }
    const double cancelMs = static_cast<double>(longestNs) / 1e6;
    state.counters["max_cancel_ms"] = cancelMs;
    state.counters["goal_ms"] = kCancelGoalMs;
    state.SetLabel(cancelMs <= kCancelGoalMs ? "within the goal" : "OVER the goal");
}
BENCHMARK(BM_CancelCheckJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A private copy of the sample installation, checked against the fixture catalogue.
struct SampleCopy {
    QTemporaryDir dir;
    QString prefix = dir.path() + u"/prefix"_s;
    quillon::ScriptedPrompter prompter;
    std::unique_ptr<quillon::AppCore> core;

    bool prepare() {
        const QString sample = buildDir() + u"/sample/prefix"_s;
        if (!QFileInfo::exists(sample + u"/user.reg"_s) ||
            QProcess::execute(u"cp"_s, {u"-a"_s, sample, prefix}) != 0)
            return false;
        const QString settings = dir.path() + u"/settings"_s;
        for (const char* folder : {"/settings", "/downloads", "/temp"})
            QDir().mkpath(dir.path() + QLatin1String(folder));
        QFile file(settings + u"/Quillon.ini"_s);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("[Configuration]\nPreInstallAction=1\nDownloadDir=" + dir.path().toUtf8() +
                   "/downloads/\nTempDirectory=" + dir.path().toUtf8() + "/temp/\n[Sites]\nCatalogue=" +
                   server().base().toUtf8() + "\nTotalCommander=" + server().base().toUtf8() + "\n");
        file.close();
        for (const char* name : {"COMMANDER_PATH", "COMMANDER_INI", "COMMANDER_EXE", "COMMANDER_DRIVE"})
            qunsetenv(name);
        quillon::platform::PlatformOptions platform;
        platform.winePrefix = prefix.toStdString();
        core = std::make_unique<quillon::AppCore>(prompter, platform);
        quillon::StartOptions start;
        start.settingsDir = settings;
        start.programPath = dir.path() + u"/bin/quillon"_s;
        start.language = u"1033"_s;
        core->startUp(quillon::CommandLine({start.programPath}), start);
        core->runInventoryPass();
        quillon::NullProgressSink none;
        const quillon::CancelToken cancel;
        quillon::RunUpdateCheck(*core, quillon::DetectionOptions::fromValues(core->settings().values), -1,
                                cancel, none);
        return true;
    }
    QList<int> updatableRows() const {
        const quillon::UpdateList& list = core->updateList();
        QList<int> rows;
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.state(row) == quillon::ItemState::Update)
                rows.append(row);
        }
        return rows;
    }
};

void BM_UpdatePassJob(benchmark::State& state) {
    if (server().base().isEmpty()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    QObject owner;
    JobRun worst;
    qint64 progressCalls = 0;
    int installed = 0;
    int requests = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SampleCopy sample;
        if (!sample.prepare()) {
            state.SkipWithError("the sample installation was not built");
            return;
        }
        quillon::UpdatePassOptions options;
        options.rows = sample.updatableRows();
        options.install = quillon::InstallChoice::Always;
        quillon::UpdatePass pass(*sample.core, sample.prompter, std::move(options));
        requests = static_cast<int>(pass.buildRequests().size());
        state.ResumeTiming();

        const JobRun run = runMeasured(
            [&pass, &owner, &sample](const quillon::CancelToken& cancel, quillon::ProgressSink& sink) {
                pass.setProgress([&sink](const quillon::TransferProgress&) { sink.report({}); });
                quillon::AppCore* core = sample.core.get();
                pass.setFileInstalled(
                    [&owner, core](int, const QString&, const quillon::InstallStepResult& result) {
                        QMetaObject::invokeMethod(
                            &owner, [core, result] { core->applyRowsRefresh(result.refresh); },
                            Qt::QueuedConnection);
                    });
                pass.run(cancel);
            },
            owner);
        worst = run.longestGapNs > worst.longestGapNs ? run : worst;
        progressCalls += run.progressCalls;

        state.PauseTiming();
        pass.finish();
        pass.cleanUp();
        installed = 0;
        for (const quillon::InstallStepResult& result : pass.installs())
            installed += result.outcome == quillon::InstallStepResult::Outcome::Installed;
        state.ResumeTiming();
    }
    if (installed == 0)
        state.SkipWithError("the pass installed nothing");
    state.counters["requests"] = requests;
    state.counters["installed"] = installed;
    report(state, worst, progressCalls);
}
BENCHMARK(BM_UpdatePassJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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
