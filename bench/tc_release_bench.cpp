// Total Commander's release texts read from hostile pages: one long line of anchors that never
// completes, by page size. The time per byte should stay flat as the page grows (the
// expressions once used took 20 s at 400 KiB and minutes at 1 MiB).
#include "updatecheck/tc_release.h"

#include <benchmark/benchmark.h>

#include <QString>

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

void announcementOfAnchorsOnly(benchmark::State& state) {
    const QString page = u"Total Commander "_s.repeated(state.range(0) / 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(TcAnnouncementReleaseText(page));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void downloadOfAnchorsOnly(benchmark::State& state) {
    const QString page = u"Download version "_s.repeated(state.range(0) / 17);
    for (auto _ : state)
        benchmark::DoNotOptimize(TcDownloadReleaseText(page));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void linksWithoutPhp(benchmark::State& state) {
    const QString page = u"href=\""_s.repeated(state.range(0) / 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(TcAnnouncedLinkOf(page, u"http://www.ghisler.com/"_s));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(announcementOfAnchorsOnly)->RangeMultiplier(4)->Range(64 << 10, 1 << 20);
BENCHMARK(downloadOfAnchorsOnly)->RangeMultiplier(4)->Range(64 << 10, 1 << 20);
BENCHMARK(linksWithoutPhp)->RangeMultiplier(4)->Range(64 << 10, 1 << 20);
BENCHMARK_MAIN();
