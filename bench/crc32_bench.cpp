// FileCrc32 over a 64 MiB file against zlib's crc32() over the same 64 MiB in memory.
// Compare the medians of BM_FileCrc32 and BM_ZlibCrc32InMemory (goal: at least 0.9x the speed).
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <zlib.h>

#include <cstdio>

#include "app/common/checksums.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype Size = qsizetype(64) << 20;

struct Fixture {
    QByteArray data;
    QTemporaryDir dir;
    QString path;
    double memorySeconds = 0;

    Fixture() : data(Size, Qt::Uninitialized) {
        QRandomGenerator random(42);
        random.fillRange(reinterpret_cast<quint32*>(data.data()), data.size() / 4);
        path = dir.filePath(u"data.bin"_s);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ZlibCrc32InMemory(benchmark::State& state) {
    const QByteArray& data = fixture().data;
    for (auto _ : state) {
        uLong crc = crc32(0, nullptr, 0);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()));
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * Size);
}

void BM_Crc32OfBytes(benchmark::State& state) {
    const QByteArray& data = fixture().data;
    for (auto _ : state)
        benchmark::DoNotOptimize(quillon::Crc32OfBytes(data));
    state.SetBytesProcessed(state.iterations() * Size);
}

void BM_FileCrc32(benchmark::State& state) {
    const QString& path = fixture().path;
    const quint32 expected = quillon::Crc32OfBytes(fixture().data);
    for (auto _ : state) {
        const auto crc = quillon::FileCrc32(path);
        if (crc != expected) {
            state.SkipWithError("wrong CRC");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * Size);
}

void BM_FileCrc32OrZero(benchmark::State& state) {
    const QString& path = fixture().path;
    for (auto _ : state)
        benchmark::DoNotOptimize(quillon::FileCrc32OrZero(path));
    state.SetBytesProcessed(state.iterations() * Size);
}

} // namespace

BENCHMARK(BM_ZlibCrc32InMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Crc32OfBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FileCrc32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FileCrc32OrZero)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
