// The desktop program's main window on the generated 2,300-file installation, started in a
// process of its own as the program starts it (offscreen, questions answered unattended):
//
// - BM_StartToFilledList: from the start of the process to the window's filled list, against
//   `quillon-cli list` over the same prefix and settings in the same iteration. The goal: the
//   window at most 1 s slower.
// - BM_CheckInWindow: the window's list filled, then an update check against the fixture
//   server with its catalogue behind a route that answers after 1 s. peak_MB is the process's
//   resident high-water mark (VmHWM) after the check, goal at most 80 MB; the stalls are the
//   longest gaps of a 1 ms timer on the window's event loop from the start of each job to the
//   window having applied its result, goal at most 50 ms.
//
// The window runs in a child of this program (--window-run list|check), which prints its
// figures one per line as "name value".
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "app/command_line.h"
#include "engine/app_core.h"
#include "engine/installer_context.h"
#include "fixture_server_process.h"
#include "generated_installation.h"
#include "gui_options.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "loop_stall_meter.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "update_list_view.h"
#include "update_page.h"
#include "wine_program_choice.h"

using namespace Qt::StringLiterals;

namespace {

using namespace quillon::bench;

constexpr double kExtraStartGoalS = 1.0;
constexpr double kPeakGoalMB = 80.0;
constexpr int kSlowCatalogueMs = 1000;
constexpr int kChildTimeoutMs = 180000;

// ---- The child: the real window, as the program's main builds it.

void print(const char* name, qint64 value) {
    std::printf("%s %lld\n", name, static_cast<long long>(value));
    std::fflush(stdout);
}

// The resident high-water mark in kB (KiB), -1 when unreadable.
qint64 peakResidentKiB() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool waitFor(QObject* sender, const char* signal) {
    QEventLoop loop;
    QTimer::singleShot(kChildTimeoutMs, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    return loop.exec() == 0;
}

int runWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    const qsizetype modeAt = arguments.indexOf(u"--window-run"_s);
    const QString mode = arguments.value(modeAt + 1);
    arguments.remove(modeAt, 2);
    const quillon::ui::GuiOptions options = quillon::ui::parseGuiArguments(arguments);
    if (!options.error.isEmpty() || (mode != u"list"_s && mode != u"check"_s)) {
        std::fprintf(stderr, "window_bench: --window-run list|check and the program's options\n");
        return 2;
    }

    quillon::ui::MessageBoxPrompter prompter;
    prompter.setUnattendedAnswer(quillon::PromptAnswer::No);
    quillon::platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = options.winePrefix.toStdString();
    quillon::AppCore core(prompter, platformOptions);
    quillon::StartOptions startOptions;
    startOptions.settingsDir = options.settingsDir;
    startOptions.language = options.language;
    core.startUp(quillon::CommandLine(options.programArguments), startOptions);
    quillon::ui::takeWineProgramChoice(core, options.wineProgram);
    quillon::ReportRecovery(prompter, core.language(), quillon::RecoverCutOffInstallation(core));

    quillon::ui::Ttc_Updater window(core, prompter);
    prompter.setParentWindow(&window);
    // Every job the window starts is measured until the window applied its result; the start
    // alone is timed without the ticking timer.
    const bool check = mode == u"check"_s;
    LoopStallMeter meter;
    if (check) {
        QObject::connect(&window.jobs(), &quillon::ui::JobRunner::started, &window,
                         [&meter] { meter.start(); });
        QObject::connect(&window, &quillon::ui::Ttc_Updater::inventoryFinished, &window,
                         [&meter] { meter.stop(); });
        QObject::connect(&window, &quillon::ui::Ttc_Updater::checkFinished, &window,
                         [&meter] { meter.stop(); });
    }

    window.show();
    if (!waitFor(&window, SIGNAL(inventoryFinished()))) {
        std::fprintf(stderr, "window_bench: the list was not filled\n");
        return 1;
    }
    print("filled", 1);
    print("rows", core.updateList().rowCount());
    print("view_rows", window.updatePage().view().model()->rowCount());

    if (check) {
        print("inventory_stall_ns", meter.longestGapNs());
        print("inventory_ticks", meter.ticks());
        window.btn_SearchUpdatesClick();
        if (!waitFor(&window, SIGNAL(checkFinished()))) {
            std::fprintf(stderr, "window_bench: the check did not end\n");
            return 1;
        }
        print("records", window.lastCheck().run.recordCount);
        print("check_stall_ns", meter.longestGapNs());
        print("check_ticks", meter.ticks());
        print("vmhwm_kib", peakResidentKiB());
    }
    for (const QString& text : prompter.unattendedTexts())
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    window.close();
    return 0;
}

// ---- The parent: the benchmarks.

// The generated installation with its sites at the fixture server; written before every run,
// so that each start finds what the first one found.
GeneratedInstallation& freshInstallation() {
    GeneratedInstallation& in = installation();
    in.writeSites(server().base() + u"fault/slow/%1/"_s.arg(kSlowCatalogueMs), server().base());
    return in;
}

QStringList programOptions(const GeneratedInstallation& in) {
    return {u"--wine-prefix"_s, in.prefix, u"--settings-dir"_s, in.settingsDir(), u"--lang"_s, u"1033"_s};
}

struct ChildRun {
    QString error; // empty: it ran to its end
    qint64 filledNs = -1;
    qint64 finishedNs = -1;
    QHash<QString, qint64> figures;
    int outputLines = 0;
};

// Runs program to its end, noting when it printed "filled".
ChildRun runChild(const QString& program, const QStringList& arguments) {
    ChildRun run;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    child.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    if (!child.waitForStarted(10000)) {
        run.error = program + u" did not start"_s;
        return run;
    }
    const auto readLines = [&] {
        while (child.canReadLine()) {
            const QList<QByteArray> words = child.readLine().trimmed().split(' ');
            ++run.outputLines;
            if (words.size() != 2)
                continue;
            const QString name = QString::fromLatin1(words.at(0));
            if (name == u"filled"_s)
                run.filledNs = clock.nsecsElapsed();
            run.figures.insert(name, words.at(1).toLongLong());
        }
    };
    // waitForReadyRead returns as soon as a line arrives or the child ends.
    while (child.state() != QProcess::NotRunning && clock.elapsed() < kChildTimeoutMs) {
        readLines();
        child.waitForReadyRead(100);
    }
    run.finishedNs = clock.nsecsElapsed();
    readLines();
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(5000);
        run.error = program + u" did not end"_s;
    } else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        run.error = program + u" failed: "_s + QString::fromLocal8Bit(child.readAllStandardError()).trimmed();
    }
    return run;
}

ChildRun runWindowChild(const QString& mode, const GeneratedInstallation& in) {
    return runChild(QCoreApplication::applicationFilePath(),
                    QStringList{u"--window-run"_s, mode} + programOptions(in));
}

void BM_StartToFilledList(benchmark::State& state) {
    const QString cli = buildDir() + u"/src/cli/quillon-cli"_s;
    double windowS = 0;
    double cliS = 0;
    double worstExtraS = 0;
    qint64 rows = 0;
    int listed = 0;
    int runs = 0;
    for (auto _ : state) {
        const ChildRun command = runChild(cli, QStringList{u"list"_s} + programOptions(freshInstallation()));
        const ChildRun window = runWindowChild(u"list"_s, freshInstallation());
        if (!command.error.isEmpty() || !window.error.isEmpty() || window.filledNs < 0) {
            state.SkipWithError(qPrintable(command.error.isEmpty() ? window.error : command.error));
            return;
        }
        if (window.figures.value(u"view_rows"_s) == 0) {
            state.SkipWithError("the window's list stayed empty");
            return;
        }
        const double w = static_cast<double>(window.filledNs) / 1e9;
        const double c = static_cast<double>(command.finishedNs) / 1e9;
        state.SetIterationTime(w);
        windowS += w;
        cliS += c;
        worstExtraS = std::max(worstExtraS, w - c);
        rows = window.figures.value(u"rows"_s);
        listed = command.outputLines;
        ++runs;
    }
    const double extraS = (windowS - cliS) / runs;
    state.counters["window_s"] = windowS / runs;
    state.counters["cli_list_s"] = cliS / runs;
    state.counters["extra_s"] = extraS;
    state.counters["worst_extra_s"] = worstExtraS;
    state.counters["goal_extra_s"] = kExtraStartGoalS;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["cli_lines"] = listed;
    state.SetLabel(extraS <= kExtraStartGoalS ? "within the goal" : "OVER the goal");
}
BENCHMARK(BM_StartToFilledList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_CheckInWindow(benchmark::State& state) {
    if (server().base().isEmpty()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    qint64 peakKiB = 0;
    qint64 inventoryStallNs = 0;
    qint64 checkStallNs = 0;
    qint64 rows = 0;
    qint64 records = 0;
    qint64 fewestTicks = std::numeric_limits<qint64>::max();
    for (auto _ : state) {
        const ChildRun window = runWindowChild(u"check"_s, freshInstallation());
        if (!window.error.isEmpty()) {
            state.SkipWithError(qPrintable(window.error));
            return;
        }
        peakKiB = std::max(peakKiB, window.figures.value(u"vmhwm_kib"_s));
        inventoryStallNs = std::max(inventoryStallNs, window.figures.value(u"inventory_stall_ns"_s));
        checkStallNs = std::max(checkStallNs, window.figures.value(u"check_stall_ns"_s));
        rows = window.figures.value(u"rows"_s);
        records = window.figures.value(u"records"_s);
        fewestTicks = std::min({fewestTicks, window.figures.value(u"inventory_ticks"_s),
                                window.figures.value(u"check_ticks"_s)});
    }
    if (records == 0) {
        state.SkipWithError("the check got no catalogue record");
        return;
    }
    const double peakMB = static_cast<double>(peakKiB) * 1024.0 / 1e6;
    const double inventoryStallMs = static_cast<double>(inventoryStallNs) / 1e6;
    const double checkStallMs = static_cast<double>(checkStallNs) / 1e6;
    state.counters["peak_MB"] = peakMB;
    state.counters["goal_MB"] = kPeakGoalMB;
    state.counters["inventory_stall_ms"] = inventoryStallMs;
    state.counters["check_stall_ms"] = checkStallMs;
    state.counters["goal_stall_ms"] = kStallGoalMs;
    state.counters["fewest_ticks"] = static_cast<double>(fewestTicks);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["records"] = static_cast<double>(records);
    const auto verdict = [](bool within) { return within ? "within" : "OVER"; };
    state.SetLabel(std::string("memory ") + verdict(peakMB <= kPeakGoalMB) + ", stalls " +
                   verdict(std::max(inventoryStallMs, checkStallMs) <= kStallGoalMs) + " the goal");
}
BENCHMARK(BM_CheckInWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window-run") == 0)
            return runWindow(argc, argv);
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
