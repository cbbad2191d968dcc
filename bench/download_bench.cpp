// A 200 MiB download from a local server through the transfer engine, and the same URL with
// the curl program, in one run. Compare the two times: the engine should reach at least 0.8x
// curl's speed (its .part file, progress callbacks and HEAD probe are the overhead).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "install/transfer_engine.h"

using namespace Qt::StringLiterals;

namespace {

constexpr size_t kSize = size_t(200) << 20;

// A minimal HTTP/1.1 server on 127.0.0.1: every request (HEAD or GET) gets the same large
// body, one request per connection. Enough to measure the client side only.
struct Server {
    int fd = -1;
    int port = 0;
    std::thread thread;
    Server() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd, 8);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread = std::thread([this] { serve(); });
        thread.detach(); // lives as long as the benchmark program
    }
    void serve() const {
        static const std::string block(1 << 20, 'b');
        for (;;) {
            const int client = ::accept(fd, nullptr, nullptr);
            if (client < 0)
                return;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(got));
            }
            const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: " +
                                     std::to_string(kSize) + "\r\nConnection: close\r\n\r\n";
            bool ok =
                ::send(client, head.data(), head.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(head.size());
            if (ok && request.rfind("GET", 0) == 0) {
                for (size_t sent = 0; ok && sent < kSize; sent += block.size())
                    ok = ::send(client, block.data(), block.size(), MSG_NOSIGNAL) ==
                         static_cast<ssize_t>(block.size());
            }
            ::close(client);
        }
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
