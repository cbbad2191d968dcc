// The version reader over every DLL in Wine's folder, or over the MinGW-built test files when
// Wine is not installed.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

#include "app/common/pe_info.h"

using namespace Qt::StringLiterals;

namespace {

QStringList inputFiles() {
    static const QStringList files = [] {
        QStringList list;
        // QUILLON_PE_DIR chooses another folder of PE files.
        const QString chosen = qEnvironmentVariable("QUILLON_PE_DIR");
        const QDir wine(chosen.isEmpty() ? u"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"_s : chosen);
        for (const QFileInfo& info : wine.entryInfoList({u"*.dll"_s}, QDir::Files, QDir::Name))
            list.append(info.filePath());
        if (!list.isEmpty()) {
            std::fprintf(stderr, "reading %lld DLLs in %s\n", qlonglong(list.size()),
                         qPrintable(wine.path()));
            return list;
        }
        // This program lives in <build>/bench; the test files in <build>/tests/data/pe.
        const QString self = QFileInfo(u"/proc/self/exe"_s).symLinkTarget();
        const QDir generated(QFileInfo(self).absolutePath() + u"/../tests/data/pe"_s);
        std::fprintf(stderr, "Wine is not installed: reading the MinGW-built test files in %s\n",
                     qPrintable(generated.absolutePath()));
        for (const QFileInfo& info :
             generated.entryInfoList({u"*.dll"_s, u"*.exe"_s}, QDir::Files, QDir::Name))
            list.append(info.filePath());
        return list;
    }();
    return files;
}

void BM_TCEVersionInfo(benchmark::State& state) {
    const QStringList files = inputFiles();
    if (files.isEmpty()) {
        state.SkipWithError("no PE files to read (install Wine or build quillon_test_pe_files)");
        return;
    }
    qint64 withVersion = 0;
    quillon::TCEVersionInfo info;
    for (auto _ : state) {
        withVersion = 0;
        for (const QString& file : files)
            withVersion += info.GetInfo(file) ? 1 : 0;
    }
    state.SetItemsProcessed(state.iterations() * files.size());
    state.counters["files"] = double(files.size());
    state.counters["with_version"] = double(withVersion);
}

void BM_GetFileVersionNumber(benchmark::State& state) {
    const QStringList files = inputFiles();
    if (files.isEmpty()) {
        state.SkipWithError("no PE files to read");
        return;
    }
    for (auto _ : state) {
        for (const QString& file : files)
            benchmark::DoNotOptimize(quillon::GetFileVersionNumber(file));
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

} // namespace

BENCHMARK(BM_TCEVersionInfo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFileVersionNumber)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
