// The inventory pass over a generated installation (300 plugins listed in wincmd.ini, 2,000
// utility executables in 20 folders) against the I/O floor: a stat of every file the pass lists
// plus a read of its first 64 KiB. Compare the two times per run; peak_rss_MiB is the process's
// peak resident memory after the pass ran.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <sys/resource.h>
#include <sys/stat.h>

#include <memory>

#include "app/command_line.h"
#include "app/common/pe_info.h"
#include "app/scripted_prompter.h"
#include "engine/app_core.h"
#include "generated_installation.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace {

using namespace quillon::bench;

double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void BM_InventoryPass(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    quillon::ScriptedPrompter prompter;
    quillon::AppCore core(prompter, platformFor(in));
    quillon::StartOptions start;
    start.settingsDir = in.settingsDir();
    start.programPath = in.programPath();
    start.language = u"1033"_s;
    core.startUp(quillon::CommandLine({start.programPath}), start);
    int rows = 0;
    for (auto _ : state) {
        const quillon::InventoryPassResult result = core.runInventoryPass();
        rows = core.updateList().rowCount();
        benchmark::DoNotOptimize(result.configFound);
    }
    state.counters["rows"] = rows;
    state.counters["files"] = static_cast<double>(in.files.size());
    state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_InventoryPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_IoFloor(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString& path : std::as_const(in.files)) {
            const QByteArray native = QFile::encodeName(path);
            struct stat info {};
            if (stat(native.constData(), &info) != 0)
                continue;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                total += file.read(buffer.data(), buffer.size());
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = static_cast<double>(in.files.size());
}
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The reading and parsing of every file the pass lists, one after another: what the pass's
// read-ahead spreads over the cores.
void BM_ReadExecutables(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    for (auto _ : state) {
        int executables = 0;
        for (const QString& path : std::as_const(in.files))
            executables += quillon::ReadExecutable(path).isPeFile ? 1 : 0;
        benchmark::DoNotOptimize(executables);
    }
    state.counters["files"] = static_cast<double>(in.files.size());
}
BENCHMARK(BM_ReadExecutables)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The stored form of a path, asked once per item whenever confirmed versions exist; with none of
// Total Commander's variables set every one of them is looked up in the prefix.
void BM_ConvertToEnvPath(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    quillon::ScriptedPrompter prompter;
    quillon::AppCore core(prompter, platformFor(in));
    const quillon::TcLocator locator(core.system());
    const QString& path = in.files.constLast();
    for (auto _ : state)
        benchmark::DoNotOptimize(locator.ConvertToEnvPath(path));
}
BENCHMARK(BM_ConvertToEnvPath)->Unit(benchmark::kMicrosecond);

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
