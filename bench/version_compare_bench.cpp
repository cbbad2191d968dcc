// ComplexVerGreater with its suffix expressions compiled once against building them on every
// call, on the same pairs. Report the ratio of the two times from one run.
#include "inventory/version_compare.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Pairs as an update check meets them: mostly dotted versions, some tags, a few dates and
// plain build numbers.
const std::vector<std::pair<QString, QString>>& pairs() {
    static const std::vector<std::pair<QString, QString>> list{
        {u"1.2"_s, u"1.10"_s},
        {u"1.10"_s, u"1.9"_s},
        {u"2.0"_s, u"2.0"_s},
        {u"1.2"_s, u"1.2.1"_s},
        {u"1.5a"_s, u"1.5b"_s},
        {u"1.5"_s, u"1.5a"_s},
        {u"8.0ß5"_s, u"8.0"_s},
        {u"8.0"_s, u"8.0ß5"_s},
        {u"8.0ß4"_s, u"8.0ß5"_s},
        {u"8.0RC1"_s, u"8.0RC2"_s},
        {u"8.0rc1"_s, u"8.0rc2"_s},
        {u"8.0α1"_s, u"8.0ß1"_s},
        {u"9.0Pß1"_s, u"9.0Pß2"_s},
        {u"1.10.3.4"_s, u"1.10.3.5"_s},
        {u"2.3.1"_s, u"2.3.1"_s},
        {u"5"_s, u"6"_s},
        {u"24.12.2013"_s, u"25.12.2013"_s},
        {u"3.1.4"_s, u"3.2"_s},
    };
    return list;
}

template <bool (*Compare)(const QString&, const QString&)> void runPairs(benchmark::State& state) {
    const auto& list = pairs();
    for (auto _ : state) {
        for (const auto& [installed, online] : list)
            benchmark::DoNotOptimize(Compare(installed, online));
    }
    state.SetItemsProcessed(state.iterations() * qint64(list.size()));
}

void BM_ComplexVerGreater_CompiledOnce(benchmark::State& state) {
    runPairs<quillon::ComplexVerGreater>(state);
}
void BM_ComplexVerGreater_PerCall(benchmark::State& state) {
    runPairs<quillon::detail::ComplexVerGreaterPerCallRegex>(state);
}

BENCHMARK(BM_ComplexVerGreater_CompiledOnce);
BENCHMARK(BM_ComplexVerGreater_PerCall);

} // namespace

BENCHMARK_MAIN();
