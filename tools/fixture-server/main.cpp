// quillon-fixture-server: stands in for the plugin catalogue and Total Commander's web site on
// 127.0.0.1, for the demo and the end-to-end tests.
//
//   quillon-fixture-server --content DIR [--port N] [--pid-file FILE] [--request-log FILE]
//
// --port 0 (the default) takes a free port. The first line on stdout is
// "listening on http://127.0.0.1:PORT/". --request-log writes "request METHOD TARGET" (FILE "-":
// on stdout) for each request
// as it arrives, before it is answered: a test waits for that instead of guessing how long a
// client takes to ask.
#include "fixture_site.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// Kept in a fixed buffer: the signal handler may only call async-signal-safe functions.
char pidFilePath[4096] = {};

extern "C" void stopServer(int) {
    if (pidFilePath[0] != '\0')
        unlink(pidFilePath);
    _exit(0);
}

int usage(const char* message) {
    std::cerr
        << "quillon-fixture-server: " << message << "\n"
        << "usage: quillon-fixture-server --content DIR [--port N] [--pid-file FILE] [--request-log FILE]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string content;
    std::string pidFile;
    std::string requestLog;
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return usage(("missing value after " + option).c_str());
        const std::string value = argv[++i];
        if (option == "--port") {
            try {
                size_t used = 0;
                port = std::stoi(value, &used);
                if (used != value.size() || port < 0 || port > 65535)
                    return usage("--port needs a number from 0 to 65535");
            } catch (const std::exception&) {
                return usage("--port needs a number from 0 to 65535");
            }
        } else if (option == "--content") {
            content = value;
        } else if (option == "--pid-file") {
            pidFile = value;
        } else if (option == "--request-log") {
            requestLog = value;
        } else {
            return usage(("unknown option " + option).c_str());
        }
    }
    if (content.empty())
        return usage("--content is required");
    if (!std::filesystem::is_directory(content))
        return usage(("no content folder " + content).c_str());
    if (pidFile.size() >= sizeof(pidFilePath))
        return usage("--pid-file path too long");

    httplib::Server server;
    // The library's default also sets SO_REUSEPORT, which lets a second server share a taken
    // port and split the requests with it.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    const char* host = "127.0.0.1";
    const int bound =
        port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound <= 0) {
        std::cerr << "quillon-fixture-server: cannot listen on " << host << ":" << port << "\n";
        return 1;
    }
    const std::string base = "http://127.0.0.1:" + std::to_string(bound) + "/";
    const quillon::fixture::FixtureSite site(content, base);
    site.install(server);
    std::ofstream log;
    std::mutex logLock;
    if (!requestLog.empty()) {
        // "-": on standard output, where a test waiting for a request reads it as it comes.
        const bool toOutput = requestLog == "-";
        if (!toOutput)
            log.open(requestLog, std::ios::app);
        if (!toOutput && !log) {
            std::cerr << "quillon-fixture-server: cannot write " << requestLog << "\n";
            return 1;
        }
        std::ostream& out = toOutput ? std::cout : log;
        server.set_pre_routing_handler([&out, &logLock](const httplib::Request& request, httplib::Response&) {
            const std::lock_guard lock(logLock);
            out << "request " << request.method << ' ' << request.target << std::endl;
            return httplib::Server::HandlerResponse::Unhandled;
        });
    }

    if (!pidFile.empty()) {
        std::ofstream(pidFile) << getpid() << "\n";
        std::strncpy(pidFilePath, pidFile.c_str(), sizeof(pidFilePath) - 1);
    }
    std::signal(SIGTERM, stopServer);
    std::signal(SIGINT, stopServer);
    // A client that hangs up mid-answer must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    std::cout << "listening on " << base << std::endl;
    return server.listen_after_bind() ? 0 : 1;
}
