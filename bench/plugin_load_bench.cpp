// What "quillon-cli verify" costs on the sample installation with a warm wineserver: the whole
// command, and one plugin loaded by the bridge. A copy of the sample's prefix is booted first
// (tens of seconds); its wineserver runs until the program ends.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "platform/path_mapper_wine.h"
#include "platform/plugin_load_wine.h"
#include "platform/tc_window_programs_wine.h"

using namespace Qt::StringLiterals;

namespace {

// <build>/bench holds this program; the sample and the programs are built beside it.
QString buildDir() {
    return QFileInfo(QFileInfo(u"/proc/self/exe"_s).symLinkTarget()).absolutePath() + u"/.."_s;
}

struct WarmPrefix {
    QTemporaryDir dir;
    QString wine, server, prefix, error;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"WINEPREFIX"_s, prefix);
        env.insert(u"WINEDEBUG"_s, u"-all"_s);
        env.insert(u"WINEDLLOVERRIDES"_s, u"winemenubuilder.exe=d"_s);
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        return env;
    }
    bool run(const QString& program, const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        return process.waitForFinished(300000) && process.exitCode() == 0;
    }

    WarmPrefix() {
        wine = QString::fromStdString(quillon::platform::findWineProgram({}));
        server = QFileInfo(wine).absolutePath() + u"/wineserver"_s;
        prefix = dir.path() + u"/prefix"_s;
        if (wine.isEmpty()) {
            error = u"Wine is not installed"_s;
            return;
        }
        if (!run(u"cp"_s, {u"-a"_s, buildDir() + u"/sample/prefix"_s, prefix}) ||
            !run(wine, {u"wineboot"_s, u"-i"_s}) ||
            !run(wine, {u"reg"_s, u"add"_s, u"HKCU\\Software\\Wine\\Drivers"_s, u"/v"_s, u"Graphics"_s,
                        u"/d"_s, u"null"_s, u"/f"_s}) ||
            !run(server, {u"-k"_s})) {
            error = u"the sample's prefix could not be booted"_s;
            return;
        }
        QProcess persistent;
        persistent.setProcessEnvironment(environment());
        persistent.setProgram(server);
        persistent.setArguments({u"-p"_s});
        if (!persistent.startDetached() ||
            !run(wine, {buildDir() + u"/src/cli/quillon-tcbridge.exe"_s, u"state"_s}))
            error = u"the wineserver did not start"_s;
    }
    ~WarmPrefix() {
        if (!wine.isEmpty())
            run(server, {u"-k"_s});
    }
};

WarmPrefix& warm() {
    static WarmPrefix prefix;
    return prefix;
}

void BM_VerifySample(benchmark::State& state) {
    WarmPrefix& world = warm();
    if (!world.error.isEmpty())
        return state.SkipWithError(qPrintable(world.error));
    const QString settings = world.dir.path() + u"/settings"_s;
    QDir().mkpath(settings);
    for (auto _ : state) {
        QProcess cli;
        cli.start(buildDir() + u"/src/cli/quillon-cli"_s,
                  {u"--wine-prefix"_s, world.prefix, u"--settings-dir"_s, settings,
                   u"/i="_s + world.prefix + u"/drive_c/users/quillon/AppData/Roaming/GHISLER/wincmd.ini"_s,
                   u"verify"_s});
        if (!cli.waitForFinished(120000) || !cli.readAllStandardOutput().contains("plugins checked"))
            return state.SkipWithError("verify gave no summary");
    }
}
BENCHMARK(BM_VerifySample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_LoadOnePlugin(benchmark::State& state) {
    WarmPrefix& world = warm();
    if (!world.error.isEmpty())
        return state.SkipWithError(qPrintable(world.error));
    const quillon::platform::WinePathMapper paths(world.prefix.toStdString());
    const std::string bridge = QString(buildDir() + u"/src/cli/quillon-tcbridge.exe"_s).toStdString();
    quillon::platform::WinePluginLoadCheck check(
        world.prefix.toStdString(), [&] { return world.wine.toStdString(); },
        {bridge, quillon::platform::bridge32Beside(bridge)}, paths);
    const std::string plugin =
        QString(world.prefix + u"/drive_c/totalcmd/plugins/wcx/sampack/sampack.wcx64"_s).toStdString();
    for (auto _ : state) {
        if (!check.check(plugin).loads())
            return state.SkipWithError("the sample's packer plugin did not load");
    }
}
BENCHMARK(BM_LoadOnePlugin)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

BENCHMARK_MAIN();
