// A download-and-install pass of 20 plugin packages from the fixture server, through the
// desktop program's download window and through `quillon-cli update --install --all --yes`,
// each over a fresh installation of its own in the same iteration.
//
// - window_pass_s: in the real main window (a child process, offscreen), from the click on
//   "Download the marked items" with the 20 updatable rows marked to the download window's end
//   of the pass.
// - cli_pass_s: the command's run less a `quillon-cli check` over the same settings, so that the
//   process start, the inventory and the check count on neither side.
// - ratio: window_pass_s / cli_pass_s, goal at most 1.1. ratio_of_fastest compares the fastest
//   run of each side: on a machine shared with other work the means swing with its load, the
//   fastest runs much less. median_ratio is the median of each iteration's own ratio: the two
//   sides of an iteration run one after the other under much the same load, and a process held
//   for seconds by other work spoils one iteration, not the figure. The two sides take turns
//   going first, since each meets the write-back of the files the one before it wrote.
// - stall_ms: the longest gap of a 1 ms timer on the window's event loop during its pass, goal at
//   most 50 ms.
//
// A second case updates Total Commander itself through the window, over a copy of the sample
// installation and the fixture server, with a Wine program that answers each bridge call after
// 5 s and a wineserver that seems to serve the prefix: every call to Total Commander's window
// then takes 5 s. stall_ms is the longest gap of the window's event loop from the click on
// "Download the marked items" to the end of the pass; the goal is at most 50 ms. pass_s counts
// the pass's calls at 5 s each: one, the question whether Total Commander runs before it is
// replaced, whose answer also serves its version found again afterwards.
//
// The figures are reported, never enforced.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/stat.h>

#include <archive.h>
#include <archive_entry.h>

#include "app/command_line.h"
#include "download_rows_model.h"
#include "download_window.h"
#include "engine/app_core.h"
#include "fixture_server_process.h"
#include "generated_installation.h"
#include "gui_options.h"
#include "inventory/update_list.h"
#include "loop_stall_meter.h"
#include "main_window.h"
#include "message_box_prompter.h"

using namespace Qt::StringLiterals;

namespace {

using namespace quillon::bench;

constexpr int kPlugins = 20;
constexpr double kRatioGoal = 1.1;
constexpr int kChildTimeoutMs = 180000;
constexpr int kSlowBridgeS = 5;
const QString kTcFile = u"TOTALCMD64.EXE"_s;

QString pluginId(int index) {
    return u"bench%1"_s.arg(index, 2, 10, QLatin1Char('0'));
}
QString pluginFile(int index) {
    return pluginId(index) + u".wcx64"_s;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& members) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (const auto& [name, data] : members) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, data.size());
        ok = ok && archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, data.constData(), static_cast<size_t>(data.size())) == data.size();
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

QByteArray pluginImage() {
    return sampleImage(QCoreApplication::applicationDirPath());
}

// The catalogue offers every plugin in a newer version, each with a small package.
class PassSite {
public:
    PassSite() {
        const QString site = m_dir.path();
        QByteArray records;
        for (int i = 0; i < kPlugins; ++i) {
            records += pluginId(i).toLatin1() + "|Bench Packer " + QByteArray::number(i) +
                       "|99.1|15.09.2024|packer|x64|x64| ";
            const QByteArray inf = "[plugininstall]\r\ndescription=Bench Packer 99.1\r\ntype=wcx\r\nfile=" +
                                   pluginFile(i).toLatin1() + "\r\ndefaultdir=" + pluginId(i).toLatin1() +
                                   "\r\n";
            m_ready = m_ready && writeZip(site + u"/packages/"_s + pluginId(i) + u".zip"_s,
                                          {{pluginFile(i), pluginImage()}, {u"pluginst.inf"_s, inf}});
        }
        m_ready = m_ready && writeFile(site + u"/get_plugins_list.php"_s,
                                       "<HEAD></HEAD><BODY><pre>" + records + "</pre></BODY>\n");
        if (m_ready)
            m_server = std::make_unique<FixtureServer>(site);
    }
    QString base() const { return m_server ? m_server->base() : QString(); }

private:
    QTemporaryDir m_dir;
    bool m_ready = m_dir.isValid();
    std::unique_ptr<FixtureServer> m_server;
};

PassSite& site() {
    static PassSite instance;
    return instance;
}

// Total Commander with the 20 plugins in an older version, its own settings and folders; the
// plugins found in the catalogue through the user database.
class PassInstallation {
public:
    explicit PassInstallation(const QString& base) {
        const QString prefix = m_dir.path() + u"/prefix"_s;
        const QString tc = prefix + u"/drive_c/totalcmd"_s;
        QDir().mkpath(prefix + u"/dosdevices"_s);
        QDir().mkpath(prefix + u"/drive_c/windows"_s);
        QFile::link(u"../drive_c"_s, prefix + u"/dosdevices/c:"_s);
        QFile::link(u"/"_s, prefix + u"/dosdevices/z:"_s);
        const QByteArray image = pluginImage();
        bool ok = writeFile(prefix + u"/user.reg"_s,
                            "WINE REGISTRY Version 2\n\n[Software\\\\Ghisler\\\\Total Commander] 1\n"
                            "\"IniFileName\"=\"C:\\\\totalcmd\\\\wincmd.ini\"\n"
                            "\"InstallDir\"=\"C:\\\\totalcmd\"\n") &&
                  writeFile(prefix + u"/system.reg"_s, "WINE REGISTRY Version 2\n") &&
                  writeFile(tc + u"/TOTALCMD64.EXE"_s, image);
        QByteArray ini = "[Configuration]\r\nInstallDir=C:\\totalcmd\r\n[PackerPlugins]\r\n";
        QByteArray userDb;
        for (int i = 0; i < kPlugins; ++i) {
            const QByteArray id = pluginId(i).toLatin1();
            const QByteArray file = pluginFile(i).toLatin1();
            ok = ok && writeFile(tc + u"/plugins/wcx/"_s + pluginId(i) + u'/' + pluginFile(i), image);
            ini += id + "=31,%COMMANDER_PATH%\\plugins\\wcx\\" + id + "\\" + file + "\r\n";
            userDb += "[" + file + "]\r\nWebsiteID=" + id + "\r\n";
        }
        const QByteArray root = m_dir.path().toUtf8();
        for (const char* folder : {"/downloads", "/temp"})
            QDir().mkpath(m_dir.path() + QLatin1String(folder));
        // The window installs after download as the command's --install does.
        ok = ok && writeFile(tc + u"/wincmd.ini"_s, ini) &&
             writeFile(settingsDir() + u"/userdb.ini"_s, userDb) &&
             writeFile(
                 settingsDir() + u"/Quillon.ini"_s,
                 "[Configuration]\nPreInstallAction=1\nInstallAfterDL=True\nDownloadDir=" + root +
                     "/downloads/\nTempDirectory=" + root + "/temp/\n[Sites]\nCatalogue=" + base.toUtf8() +
                     "\nTotalCommander=" + base.toUtf8() + "\n[Additional]\nOneTimeUpdateQuestion=True\n");
        m_ready = ok && m_dir.isValid();
        m_prefix = prefix;
    }

    bool ready() const { return m_ready; }
    QString settingsDir() const { return m_dir.path() + u"/settings"_s; }
    QStringList programOptions() const {
        return {u"--wine-prefix"_s, m_prefix, u"--settings-dir"_s, settingsDir(), u"--lang"_s, u"1033"_s};
    }

private:
    QTemporaryDir m_dir;
    QString m_prefix;
    bool m_ready = false;
};

// ---- The child: the real window, as the program's main builds it.

void print(const char* name, qint64 value) {
    std::printf("%s %lld\n", name, static_cast<long long>(value));
    std::fflush(stdout);
}

bool waitFor(QObject* sender, const char* signal) {
    QEventLoop loop;
    QTimer::singleShot(kChildTimeoutMs, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    return loop.exec() == 0;
}

int runWindowPass(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeAll(u"--pass-run"_s);
    // Total Commander's case: "--tc-run BRIDGE", the bridge program the Wine program is given.
    QString bridge;
    if (const qsizetype at = arguments.indexOf(u"--tc-run"_s); at >= 0 && at + 1 < arguments.size()) {
        bridge = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    const quillon::ui::GuiOptions options = quillon::ui::parseGuiArguments(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "window_pass_bench: %s\n", qPrintable(options.error));
        return 2;
    }
    quillon::ui::MessageBoxPrompter prompter;
    prompter.setUnattendedAnswer(quillon::PromptAnswer::No);
    quillon::platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = options.winePrefix.toStdString();
    platformOptions.tcBridgeProgram = bridge.toStdString();
    quillon::AppCore core(prompter, platformOptions);
    quillon::StartOptions startOptions;
    startOptions.settingsDir = options.settingsDir;
    startOptions.language = options.language;
    core.startUp(quillon::CommandLine(options.programArguments), startOptions);

    quillon::ui::Ttc_Updater window(core, prompter);
    prompter.setParentWindow(&window);
    // Only Total Commander's case reports the whole run's stall. Each meter wakes the loop every
    // millisecond, which the command's pass does not pay: the plugins' pass runs with one.
    LoopStallMeter wholeRun;
    if (!bridge.isEmpty())
        wholeRun.start();
    window.show();
    if (!waitFor(&window, SIGNAL(inventoryFinished()))) {
        std::fprintf(stderr, "window_pass_bench: the list was not filled\n");
        return 1;
    }
    window.btn_SearchUpdatesClick();
    if (!waitFor(&window, SIGNAL(checkFinished()))) {
        std::fprintf(stderr, "window_pass_bench: the check did not end\n");
        return 1;
    }
    // Total Commander's case: its row alone.
    if (!bridge.isEmpty()) {
        quillon::UpdateList& list = core.updateList();
        for (int row = 0; row < list.rowCount(); ++row)
            list.setChecked(row, QFileInfo(list.row(row).FilePath).fileName() == kTcFile &&
                                     list.state(row) == quillon::ItemState::Update);
    }
    print("marked", core.updateList().checkedCount());

    LoopStallMeter meter;
    QElapsedTimer clock;
    meter.start();
    clock.start();
    window.btn_UpdateSelectedClick();
    quillon::ui::TDownloadFiles* download = window.downloadWindow();
    if (!download || !waitFor(download, SIGNAL(passFinished()))) {
        std::fprintf(stderr, "window_pass_bench: the pass did not end\n");
        return 1;
    }
    const qint64 passNs = clock.nsecsElapsed();
    meter.stop();
    if (!bridge.isEmpty())
        wholeRun.stop();
    int installed = 0;
    for (int row = 0; row < download->rows().count(); ++row)
        installed += download->rows().row(row).outcome == quillon::ui::DownloadRowsModel::Outcome::Installed;
    print("pass_ns", passNs);
    print("stall_ns", meter.longestGapNs());
    if (!bridge.isEmpty())
        print("whole_stall_ns", wholeRun.longestGapNs());
    print("requests", download->rows().count());
    print("installed", installed);
    for (const QString& text : prompter.unattendedTexts())
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    window.close();
    return 0;
}

// ---- The parent: the benchmark.

struct ChildRun {
    QString error; // empty: it ran to its end
    qint64 elapsedNs = -1;
    QHash<QString, qint64> figures;
    QByteArray output;
};

ChildRun runChild(const QString& program, const QStringList& arguments,
                  const QList<QPair<QString, QString>>& extraEnvironment = {}) {
    ChildRun run;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    for (const QString& name :
         {u"COMMANDER_PATH"_s, u"COMMANDER_INI"_s, u"COMMANDER_EXE"_s, u"COMMANDER_DRIVE"_s})
        environment.remove(name);
    for (const auto& [name, value] : extraEnvironment)
        environment.insert(name, value);
    child.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    if (!child.waitForStarted(10000)) {
        run.error = program + u" did not start"_s;
        return run;
    }
    if (!child.waitForFinished(kChildTimeoutMs)) {
        child.kill();
        child.waitForFinished(5000);
        run.error = program + u" did not end"_s;
        return run;
    }
    run.elapsedNs = clock.nsecsElapsed();
    run.output = child.readAllStandardOutput();
    for (const QByteArray& line : run.output.split('\n')) {
        const QList<QByteArray> words = line.trimmed().split(' ');
        if (words.size() == 2)
            run.figures.insert(QString::fromLatin1(words.at(0)), words.at(1).toLongLong());
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        run.error = program + u" failed: "_s + QString::fromLocal8Bit(child.readAllStandardError()).trimmed();
    return run;
}

void BM_PassInWindowAgainstCli(benchmark::State& state) {
    const QString base = site().base();
    if (base.isEmpty()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    const QString cli = buildDir() + u"/src/cli/quillon-cli"_s;
    double windowS = 0;
    double cliS = 0;
    double cliUpdateS = 0;
    qint64 stallNs = 0;
    qint64 installed = 0;
    qint64 cliInstalled = 0;
    double fastestWindowS = 0;
    double fastestCliS = 0;
    int runs = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        const PassInstallation forCheck(base);
        const PassInstallation forCli(base);
        const PassInstallation forWindow(base);
        if (!forCheck.ready() || !forCli.ready() || !forWindow.ready()) {
            state.SkipWithError("the installations could not be written");
            return;
        }
        const ChildRun check = runChild(cli, QStringList{u"check"_s} + forCheck.programOptions());
        // Each pass writes and deletes some hundred files, whose write-back the pass after it
        // meets: the two sides take turns going first.
        const auto runUpdate = [&] {
            return runChild(cli, QStringList{u"update"_s, u"--install"_s, u"--all"_s, u"--yes"_s} +
                                     forCli.programOptions());
        };
        const auto runWindow = [&] {
            return runChild(QCoreApplication::applicationFilePath(),
                            QStringList{u"--pass-run"_s} + forWindow.programOptions());
        };
        const bool windowFirst = runs % 2 == 1;
        ChildRun update;
        ChildRun window;
        if (windowFirst) {
            window = runWindow();
            update = runUpdate();
        } else {
            update = runUpdate();
            window = runWindow();
        }
        for (const ChildRun* run : std::initializer_list<const ChildRun*>{&check, &update, &window}) {
            if (!run->error.isEmpty()) {
                state.SkipWithError(qPrintable(run->error));
                return;
            }
        }
        if (window.figures.value(u"marked"_s) != kPlugins) {
            state.SkipWithError("the window did not mark every plugin");
            return;
        }
        const double w = static_cast<double>(window.figures.value(u"pass_ns"_s)) / 1e9;
        const double updateS = static_cast<double>(update.elapsedNs) / 1e9;
        const double c = updateS - static_cast<double>(check.elapsedNs) / 1e9;
        state.SetIterationTime(w);
        windowS += w;
        cliS += c;
        if (c > 0)
            ratios.push_back(w / c);
        fastestWindowS = runs == 0 ? w : std::min(fastestWindowS, w);
        fastestCliS = runs == 0 ? c : std::min(fastestCliS, c);
        cliUpdateS += updateS;
        stallNs = std::max(stallNs, window.figures.value(u"stall_ns"_s));
        installed = window.figures.value(u"installed"_s);
        cliInstalled = update.output.count("\ninstalled ") + (update.output.startsWith("installed ") ? 1 : 0);
        ++runs;
    }
    const double ratio = cliS > 0 ? windowS / cliS : 0;
    const double stallMs = static_cast<double>(stallNs) / 1e6;
    state.counters["window_pass_s"] = windowS / runs;
    state.counters["cli_pass_s"] = cliS / runs;
    state.counters["cli_update_s"] = cliUpdateS / runs;
    state.counters["ratio"] = ratio;
    state.counters["fastest_window_pass_s"] = fastestWindowS;
    state.counters["fastest_cli_pass_s"] = fastestCliS;
    state.counters["ratio_of_fastest"] = fastestCliS > 0 ? fastestWindowS / fastestCliS : 0;
    state.counters["median_ratio"] = median(ratios);
    state.counters["goal_ratio"] = kRatioGoal;
    state.counters["stall_ms"] = stallMs;
    state.counters["goal_stall_ms"] = kStallGoalMs;
    state.counters["installed"] = static_cast<double>(installed);
    state.counters["cli_installed"] = static_cast<double>(cliInstalled);
    const auto verdict = [](bool within) { return within ? "within" : "OVER"; };
    state.SetLabel(std::string("time ") + verdict(ratio > 0 && ratio <= kRatioGoal) + ", stall " +
                   verdict(stallMs <= kStallGoalMs) + " the goal");
}
BENCHMARK(BM_PassInWindowAgainstCli)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// A copy of the sample installation whose Total Commander the window is to update, with a Wine
// program that answers every bridge call after kSlowBridgeS seconds that Total Commander does not
// run, and a wineserver socket where Wine would look for the prefix's server.
class SlowBridgeInstallation {
public:
    explicit SlowBridgeInstallation(const QString& base) {
        const QString sample = buildDir() + u"/sample/prefix"_s;
        const QString root = m_dir.path();
        m_prefix = root + u"/prefix"_s;
        if (!m_dir.isValid() || !m_servers.isValid() || !QFileInfo::exists(sample + u"/user.reg"_s) ||
            QProcess::execute(u"cp"_s, {u"-a"_s, sample, m_prefix}) != 0)
            return;
        struct stat info {};
        if (::stat(QFile::encodeName(m_prefix).constData(), &info) != 0)
            return;
        const QString serverName = u"server-%1-%2"_s.arg(static_cast<qulonglong>(info.st_dev), 0, 16)
                                       .arg(static_cast<qulonglong>(info.st_ino), 0, 16);
        const QString servers = QFileInfo(m_servers.path()).fileName();
        for (const char* folder : {"/settings", "/downloads", "/temp"})
            QDir().mkpath(root + QLatin1String(folder));
        m_wine = root + u"/wine"_s;
        m_bridge = root + u"/quillon-tcbridge.exe"_s;
        m_ready = QFileInfo(m_servers.path()).absolutePath() == QDir::tempPath() &&
                  writeFile(m_servers.path() + u'/' + serverName + u"/socket"_s, {}) &&
                  writeFile(m_prefix + u"/wineserver"_s, servers.toUtf8() + '\n') &&
                  writeFile(m_bridge, "MZ") &&
                  writeFile(m_wine, "#!/bin/sh\nsleep " + QByteArray::number(kSlowBridgeS) +
                                        "\nprintf 'running 0\\r\\nend\\r\\n'\n") &&
                  QFile::setPermissions(m_wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
                  writeFile(settingsDir() + u"/Quillon.ini"_s,
                            "[Configuration]\nPreInstallAction=1\nInstallAfterDL=True\nDownloadDir=" +
                                root.toUtf8() + "/downloads/\nTempDirectory=" + root.toUtf8() +
                                "/temp/\n[Sites]\nCatalogue=" + base.toUtf8() + "\nTotalCommander=" +
                                base.toUtf8() + "\n[Additional]\nOneTimeUpdateQuestion=True\n");
    }

    bool ready() const { return m_ready; }
    QString settingsDir() const { return m_dir.path() + u"/settings"_s; }
    QString wineProgram() const { return m_wine; }
    QString bridgeProgram() const { return m_bridge; }
    QStringList programOptions() const {
        return {u"--wine-prefix"_s, m_prefix, u"--settings-dir"_s, settingsDir(), u"--lang"_s, u"1033"_s};
    }

private:
    QTemporaryDir m_dir;
    // Where Debian's Wine keeps a server's socket: a folder in the temporary directory.
    QTemporaryDir m_servers{QDir::tempPath() + u"/quillon-bench-server-XXXXXX"_s};
    QString m_prefix;
    QString m_wine;
    QString m_bridge;
    bool m_ready = false;
};

void BM_TcUpdateInWindowWithSlowBridge(benchmark::State& state) {
    const QString base = server().base();
    if (base.isEmpty()) {
        state.SkipWithError("the fixture server was not built");
        return;
    }
    qint64 stallNs = 0;
    qint64 wholeStallNs = 0;
    qint64 installed = 0;
    double passS = 0;
    int runs = 0;
    for (auto _ : state) {
        const SlowBridgeInstallation in(base);
        if (!in.ready()) {
            state.SkipWithError("the sample installation or its stand-ins could not be written");
            return;
        }
        const ChildRun window =
            runChild(QCoreApplication::applicationFilePath(),
                     QStringList{u"--pass-run"_s, u"--tc-run"_s, in.bridgeProgram()} + in.programOptions(),
                     {{u"WINELOADER"_s, in.wineProgram()}});
        if (!window.error.isEmpty()) {
            state.SkipWithError(qPrintable(window.error));
            return;
        }
        if (window.figures.value(u"marked"_s) != 1) {
            state.SkipWithError("Total Commander's row was not updatable");
            return;
        }
        const double s = static_cast<double>(window.figures.value(u"pass_ns"_s)) / 1e9;
        state.SetIterationTime(s);
        passS += s;
        stallNs = std::max(stallNs, window.figures.value(u"stall_ns"_s));
        wholeStallNs = std::max(wholeStallNs, window.figures.value(u"whole_stall_ns"_s));
        installed = window.figures.value(u"installed"_s);
        ++runs;
    }
    const double stallMs = static_cast<double>(stallNs) / 1e6;
    state.counters["pass_s"] = passS / runs;
    state.counters["stall_ms"] = stallMs;
    state.counters["whole_run_stall_ms"] = static_cast<double>(wholeStallNs) / 1e6;
    state.counters["goal_stall_ms"] = kStallGoalMs;
    state.counters["installed"] = static_cast<double>(installed);
    state.SetLabel(stallMs <= kStallGoalMs ? "stall within the goal" : "stall OVER the goal");
}
BENCHMARK(BM_TcUpdateInWindowWithSlowBridge)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pass-run") == 0)
            return runWindowPass(argc, argv);
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
