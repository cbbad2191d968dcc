// A 200 MiB download from a local server through the transfer engine, and the same URL with
// the curl program, in one run. Compare the two times: the engine should reach at least 0.8x
// curl's speed (its .part file, progress callbacks and HEAD probe are the overhead).
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <thread>

#include "install/transfer_engine.h"

using namespace Qt::StringLiterals;

namespace {

constexpr size_t kSize = size_t(200) << 20;

struct Server {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    Server() {
        server.Get("/big.zip", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(kSize, "application/zip",
                                     [](size_t, size_t length, httplib::DataSink& sink) {
                                         static const std::string block(1 << 20, 'b');
                                         sink.write(block.data(), std::min(length, block.size()));
                                         return true;
                                     });
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    ~Server() {
        server.stop();
        thread.join();
    }
    QString url() const { return u"http://127.0.0.1:%1/big.zip"_s.arg(port); }
};

Server& server() {
    static Server instance;
    return instance;
}

void BM_TransferEngine(benchmark::State& state) {
    QTemporaryDir dir;
    quillon::TransferSettings settings;
    settings.downloadDir = dir.path() + u'/';
    for (auto _ : state) {
        quillon::TransferEngine engine(
            {{server().url(), dir.path() + u"/big.zip"_s, {}, u"util"_s, {}, u"0"_s}}, settings);
        engine.run();
        if (engine.rows()[0].state != quillon::TransferState::Done)
            state.SkipWithError("the engine's download failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_TransferEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CurlProgram(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        QProcess curl;
        curl.start(u"curl"_s, {u"-s"_s, u"-o"_s, dir.path() + u"/big.zip"_s, server().url()});
        if (!curl.waitForFinished(-1) || curl.exitCode() != 0)
            state.SkipWithError("curl failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_CurlProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
