// Unpacking a 100 MiB ZIP (40 files: half random data stored, half text deflated) with
// DecompressZipDisk against Info-ZIP's unzip on the same archive. Compare the medians of
// BM_DecompressZipDisk and BM_UnzipTool: ratio = unzip time / our time (goal: at least 0.8).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

#include "install/zip_archive.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int FileCount = 40;
constexpr qsizetype FileSize = qsizetype(5) << 19; // 2.5 MiB

struct Fixture {
    QTemporaryDir dir;
    QString zip;
    bool ok = false;

    Fixture() {
        const QString src = dir.filePath(u"src"_s);
        QDir().mkpath(src + u"/lang"_s);
        QRandomGenerator random(7);
        for (int i = 0; i < FileCount; ++i) {
            QByteArray data(FileSize, Qt::Uninitialized);
            if (i % 2 == 0) {
                random.fillRange(reinterpret_cast<quint32*>(data.data()), data.size() / 4);
            } else {
                const QByteArray line = "[Section] Key=Value number "_ba;
                for (qsizetype at = 0; at < data.size(); ++at)
                    data[at] = static_cast<char>(line.at(at % line.size()) + (at / 4096 % 7));
            }
            QFile file(src + (i % 4 == 1 ? u"/lang/file%1.bin"_s : u"/file%1.bin"_s).arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
                return;
        }
        zip = dir.filePath(u"bench.zip"_s);
        QProcess zipper;
        zipper.setWorkingDirectory(src);
        zipper.start(u"zip"_s, {u"-qr"_s, zip, u"."_s});
        ok = zipper.waitForFinished(600000) && zipper.exitCode() == 0;
        if (!ok)
            std::fprintf(stderr, "cannot make %s with the zip tool\n", qPrintable(zip));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_DecompressZipDisk(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("no fixture archive");
        return;
    }
    const QString out = f.dir.filePath(u"ours"_s);
    for (auto _ : state) {
        const quillon::ArchiveResult result = quillon::DecompressZipDisk(f.zip, out);
        if (!result.ok)
            state.SkipWithError(qPrintable(result.error));
        state.PauseTiming();
        QDir(out).removeRecursively();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileCount * FileSize);
}

void BM_UnzipTool(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("no fixture archive");
        return;
    }
    const QString out = f.dir.filePath(u"unzip"_s);
    for (auto _ : state) {
        QProcess unzip;
        unzip.start(u"unzip"_s, {u"-qo"_s, f.zip, u"-d"_s, out});
        if (!unzip.waitForFinished(600000) || unzip.exitCode() != 0)
            state.SkipWithError("unzip failed");
        state.PauseTiming();
        QDir(out).removeRecursively();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileCount * FileSize);
}

BENCHMARK(BM_DecompressZipDisk)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_UnzipTool)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
