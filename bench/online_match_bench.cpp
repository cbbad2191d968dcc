// 300 items resolved against a 5,000-record catalogue page: records found through the
// identifier index against the literal scan that splits and compares every record for every
// item. Both give the same rows (checked before timing). Report the ratio of the two times.
#include <benchmark/benchmark.h>

#include <QRandomGenerator>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "app/ini_document.h"
#include "inventory/update_list.h"
#include "updatecheck/group_resolver.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRecords = 5000;
constexpr int kItems = 300;

struct Fixture {
    QStringList lines;
    quillon::OnlineList records;
    QStringList paths; // one group each, files that do not exist: no disk in the loop

    Fixture() {
        QRandomGenerator random(2024);
        const QStringList categories{u"packer"_s, u"fsplugin"_s, u"lister"_s, u"content"_s, u"util"_s};
        for (int i = 0; i < kRecords; ++i)
            lines.append(u"plugin%1|Plugin %1|%2.%3|%4.%5.2020|%6|x32+x64|x64"_s.arg(i)
                             .arg(random.bounded(5))
                             .arg(random.bounded(10))
                             .arg(1 + random.bounded(28))
                             .arg(1 + random.bounded(12))
                             .arg(categories.at(random.bounded(categories.size()))));
        records = quillon::OnlineList(lines);
        // Most items are in the catalogue, anywhere on the page; some are not.
        for (int i = 0; i < kItems; ++i) {
            const int id = random.bounded(kRecords + kRecords / 10);
            paths.append(u"/nowhere/plugins/plugin%1.wcx"_s.arg(id));
        }
    }
};

const Fixture& fixture() {
    static const Fixture f;
    return f;
}

struct Stores {
    quillon::IniDocument pluginDb, userDb, checksumDb, userPluginInfo, settings;
};

QList<quillon::UpdateItem> resolve(quillon::GroupResolver::Scan scan) {
    const Fixture& f = fixture();
    quillon::UpdateList list;
    for (const QString& path : f.paths) {
        list.groupLists().list(quillon::ItemGroup::Wcx).append(path);
        list.addRow(path.section(u'/', -1), u"1.0"_s, path, quillon::ItemGroup::Wcx);
    }
    Stores s;
    quillon::GroupResolver resolver(
        quillon::ResolverContext{list,
                                 {s.pluginDb, s.userDb, s.checksumDb, s.userPluginInfo, s.settings},
                                 {},
                                 quillon::PathForms::unchanged(),
                                 {},
                                 {}});
    resolver.setScan(scan);
    resolver.ResolveGroupAgainstOnlineList(list.groupLists().list(quillon::ItemGroup::Wcx), f.records, 0);
    return list.rows();
}

void checkSameResults() {
    static const bool same =
        resolve(quillon::GroupResolver::Scan::Indexed) == resolve(quillon::GroupResolver::Scan::Literal);
    if (!same) {
        std::fprintf(stderr, "indexed and literal resolution differ\n");
        std::abort();
    }
}

void BM_ResolveIndexed(benchmark::State& state) {
    checkSameResults();
    for (auto _ : state)
        benchmark::DoNotOptimize(resolve(quillon::GroupResolver::Scan::Indexed));
}

void BM_ResolveLiteralScan(benchmark::State& state) {
    checkSameResults();
    for (auto _ : state)
        benchmark::DoNotOptimize(resolve(quillon::GroupResolver::Scan::Literal));
}

// Building the index is paid once per check run.
void BM_CleanAndIndexPage(benchmark::State& state) {
    const QString page = fixture().lines.join(u"| "_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(quillon::OnlineList::fromPage(page));
}

} // namespace

BENCHMARK(BM_ResolveIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveLiteralScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CleanAndIndexPage)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
