#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "install/transfer_engine.h"
#include "support/local_http_server.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const std::string kZip(4096, 'z');

// Holds every request until `needed` are in at once (a pass that runs fewer side by side never
// gets past it, up to a generous deadline) and counts how many each server has at once.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    int needed = 1;
    bool open = false;
    bool reached = false; // `needed` were in at once
    int active = 0;
    int perServer[2] = {0, 0};
    int mostPerServer[2] = {0, 0};

    void pass(int server) {
        std::unique_lock lock(mutex);
        ++active;
        mostPerServer[server] = std::max(mostPerServer[server], ++perServer[server]);
        if (active >= needed)
            reached = open = true;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(30), [this] { return open; });
        --active;
        --perServer[server];
        changed.notify_all();
    }
    void reset(int needing) {
        const std::lock_guard lock(mutex);
        needed = needing;
        open = reached = false;
        mostPerServer[0] = mostPerServer[1] = 0;
    }
    void release() {
        const std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    // /gate/NAME answers with NAME as the file's name; "big.zip" is 1 MiB, "missing.zip" is not there.
    void serve(httplib::Server& server, int id) {
        server.Get(R"(/gate/(.*))", [this, id](const httplib::Request& req, httplib::Response& res) {
            pass(id);
            const std::string name = req.matches[1].str();
            if (name == "missing.zip") {
                res.status = 404;
                return;
            }
            res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
            res.set_content(name == "big.zip" ? std::string(1 << 20, 'B') : kZip, "application/zip");
        });
    }
};

class TransferEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = m_server.server();
        s.Get("/file.zip", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kZip, "application/zip");
        });
        s.Get("/named", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"server-name.zip\"");
            res.set_content(kZip, "application/octet-stream");
        });
        s.Get(R"(/get\.php)", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kZip, "application/zip");
        });
        s.Get("/page.html", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html>not here</html>", "text/html");
        });
        s.Get(R"(/disposition/(.*))", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"" + req.matches[1].str() + "\"");
            res.set_content(kZip, "application/zip");
        });
        s.Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            const int left = std::stoi(req.matches[1].str());
            res.set_redirect(left > 1 ? "/hop/" + std::to_string(left - 1) : "/file.zip");
        });
        // Announces 100 000 bytes and hangs up after 30 000.
        s.Get("/cut.zip", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(100000, "application/zip",
                                     [](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset >= 30000)
                                             return false;
                                         const std::string block(10000, 'c');
                                         sink.write(block.data(), block.size());
                                         return true;
                                     });
        });
        s.Get(R"(/big(\d)\.zip)", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1 << 20, "application/zip",
                                     [](size_t offset, size_t length, httplib::DataSink& sink) {
                                         const std::string block(std::min<size_t>(length, 65536), 'b');
                                         sink.write(block.data(), block.size());
                                         (void)offset;
                                         return true;
                                     });
        });
        // A file host's way: the first address sets a cookie and sends on to the file, which
        // is there only for the holder of that cookie.
        s.Get("/login", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "visit=granted; Path=/");
            res.set_redirect("/members/file.zip");
        });
        s.Get("/members/file.zip", [](const httplib::Request& req, httplib::Response& res) {
            if (req.get_header_value("Cookie").find("visit=granted") == std::string::npos) {
                res.status = 403;
                return;
            }
            res.set_content(kZip, "application/zip");
        });
        // Announces 5000 bytes when asked, then sends a body that never ends.
        s.Get("/endless.zip", [](const httplib::Request& req, httplib::Response& res) {
            if (req.method == "HEAD") {
                res.set_content(std::string(5000, 'e'), "application/zip");
                return;
            }
            res.set_chunked_content_provider("application/zip", [](size_t, httplib::DataSink& sink) {
                const std::string block(65536, 'e');
                return sink.write(block.data(), block.size());
            });
        });
        // Sends a first block, then stalls: only a cancel ends the transfer in good time.
        s.Get("/stall.zip", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                100000, "application/zip", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        const std::string block(1000, 's');
                        sink.write(block.data(), block.size());
                        if (!m_stallSignalled.exchange(true))
                            m_stalled.set_value();
                        return true;
                    }
                    std::unique_lock lock(m_stallMutex);
                    m_stallEnd.wait_for(lock, std::chrono::seconds(30), [this] { return m_released; });
                    return false;
                });
        });
        s.Post("/mirror/gets.php", [this](const httplib::Request& req, httplib::Response& res) {
            m_posted = req.body;
            res.set_content("mirror-bytes", "application/zip");
        });
        m_gate.serve(s, 0);
        ASSERT_TRUE(m_server.start());
        m_settings.downloadDir = m_dir.path() + u'/';
        m_settings.rules.mirrorBase = m_server.url(u"/mirror/"_s);
    }

    DownloadRequest request(const QString& path, const QString& local = u"wcx_plugin.zip"_s) const {
        const QString url = path.startsWith(u'$') ? path : m_server.url(path);
        return {url, m_dir.path() + u'/' + local, {}, u"packer"_s, u"/p/x.wcx"_s, u"0"_s};
    }
    QStringList filesLeft() const { return QDir(m_dir.path()).entryList(QDir::Files); }

    void TearDown() override {
        // The stalled handler must not outlive the test's server.
        {
            const std::lock_guard lock(m_stallMutex);
            m_released = true;
        }
        m_stallEnd.notify_all();
        m_gate.release();
    }

    Gate m_gate; // outlives the servers' handlers
    test::LocalHttpServer m_server;
    QTemporaryDir m_dir;
    TransferSettings m_settings;
    std::string m_posted;
    std::promise<void> m_stalled;
    std::atomic_bool m_stallSignalled{false};
    std::mutex m_stallMutex;
    std::condition_variable m_stallEnd;
    bool m_released = false;
};

TEST_F(TransferEngineTest, LocalNameFromServerAndAddress) {
    m_settings.rules.fileHostLinks = {u"127.0.0.1"_s};
    TransferEngine ruleA({request(u"/d/ruled.zip"_s)}, m_settings); // becomes /get.php?file=ruled.zip&m
    ruleA.run();
    ASSERT_EQ(ruleA.rows()[0].state, TransferState::Done) << ruleA.rows()[0].error.toStdString();
    EXPECT_EQ(ruleA.rows()[0].localPath, m_dir.path() + u"/ruled.zip"_s);

    m_settings.rules.fileHostLinks.clear();
    TransferEngine engine({request(u"/named"_s), request(u"/file.zip?x=1"_s)}, m_settings);
    engine.run();
    EXPECT_EQ(engine.rows()[0].fileName, u"server-name.zip"_s);
    EXPECT_EQ(engine.rows()[1].fileName, u"file.zip"_s);
    EXPECT_EQ(test::readFile(m_dir.path() + u"/file.zip"_s).size(), 4096);
    EXPECT_TRUE(engine.cleanupList().isEmpty());
    EXPECT_EQ(filesLeft(), (QStringList{u"file.zip"_s, u"ruled.zip"_s, u"server-name.zip"_s}));
}

TEST_F(TransferEngineTest, RefusedAnswersLeaveNoFile) {
    const QString cases[] = {
        u"/disposition/..%2Fx.zip"_s, u"/disposition/../x.zip"_s,
        u"/disposition/a%2Fb.zip"_s,  u"/page.html"_s,
        u"/disposition/get.php"_s,    u"/missing.zip"_s,
    };
    for (const QString& path : cases) {
        TransferEngine engine({request(path)}, m_settings);
        engine.run();
        EXPECT_EQ(engine.rows()[0].state, TransferState::Failed) << path.toStdString();
        EXPECT_TRUE(filesLeft().isEmpty()) << path.toStdString() << filesLeft().join(u' ').toStdString();
        EXPECT_FALSE(QFile::exists(m_dir.path() + u"/../x.zip"_s));
    }
}

TEST_F(TransferEngineTest, ConnectionCutMidBodyFailsAndLeavesNothing) {
    TransferEngine engine({request(u"/cut.zip"_s), request(u"/endless.zip"_s), request(u"/file.zip"_s)},
                          m_settings);
    engine.run();
    EXPECT_EQ(engine.rows()[0].state, TransferState::Failed);
    // A body past its announced size is stopped there, not written until the disk is full.
    EXPECT_EQ(engine.rows()[1].state, TransferState::Failed);
    EXPECT_TRUE(engine.rows()[1].error.contains(u"more than the 5000 bytes"_s))
        << engine.rows()[1].error.toStdString();
    EXPECT_EQ(engine.rows()[2].state, TransferState::Done); // the pass goes on
    EXPECT_EQ(filesLeft(), QStringList{u"file.zip"_s});
}

TEST_F(TransferEngineTest, RedirectLimit) {
    const struct {
        int hops;
        TransferState state;
    } cases[] = {{35, TransferState::Done}, {36, TransferState::Failed}};
    for (const auto& c : cases) {
        TransferEngine engine({request(u"/hop/"_s + QString::number(c.hops))}, m_settings);
        engine.run();
        EXPECT_EQ(engine.rows()[0].state, c.state) << c.hops << engine.rows()[0].error.toStdString();
        if (c.state == TransferState::Done) {
            EXPECT_EQ(engine.rows()[0].url, m_server.url(u"/file.zip"_s));
        }
    }
}

TEST_F(TransferEngineTest, CancelDuringSecondOfThree) {
    TransferEngine engine({request(u"/big1.zip"_s), request(u"/big2.zip"_s), request(u"/big3.zip"_s)},
                          m_settings);
    QList<int> installed;
    int lastTotal = 0;
    engine.setAfterFile([&](int index, const DownloadRequest&, const QString&) { installed.append(index); });
    engine.setProgress([&](const TransferProgress& p) {
        EXPECT_GE(p.totalPercent, lastTotal);
        lastTotal = p.totalPercent;
        if (p.index == 1 && p.received > 0)
            engine.cancel();
    });
    engine.run();
    EXPECT_EQ(engine.rows()[0].state, TransferState::Done);
    EXPECT_EQ(engine.rows()[1].state, TransferState::Cancelled);
    EXPECT_EQ(engine.rows()[2].state, TransferState::Cancelled);
    EXPECT_EQ(installed, QList<int>{0});
    EXPECT_EQ(filesLeft(), QStringList{u"big1.zip"_s});
    EXPECT_GE(lastTotal, 100);
    engine.runCleanup();
    EXPECT_EQ(filesLeft(), QStringList{u"big1.zip"_s});
}

TEST_F(TransferEngineTest, CancelFromOutsideWhileTheBodyStalls) {
    TransferEngine engine({request(u"/stall.zip"_s), request(u"/file.zip"_s)}, m_settings);
    std::thread canceller([&] {
        m_stalled.get_future().wait();
        engine.cancel();
    });
    engine.run();
    canceller.join();
    EXPECT_EQ(engine.rows()[0].state, TransferState::Cancelled);
    EXPECT_EQ(engine.rows()[1].state, TransferState::Cancelled);
    EXPECT_TRUE(filesLeft().isEmpty()) << filesLeft().join(u' ').toStdString();
}

TEST_F(TransferEngineTest, CookiesLastForThePassOnly) {
    const struct {
        QStringList paths;
        QList<TransferState> states;
    } cases[] = {
        {{u"/login"_s}, {TransferState::Done}},
        {{u"/members/file.zip"_s}, {TransferState::Failed}},
        // The cookie of the first request opens the second one's file.
        {{u"/login"_s, u"/members/file.zip?again"_s}, {TransferState::Done, TransferState::Done}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.paths.join(u' ').toStdString());
        DownloadRequestList requests;
        for (const QString& path : c.paths)
            requests.append(request(path));
        TransferEngine engine(requests, m_settings);
        engine.run();
        ASSERT_EQ(engine.rows().size(), c.states.size());
        for (int i = 0; i < c.states.size(); ++i)
            EXPECT_EQ(engine.rows()[i].state, c.states[i]) << i << engine.rows()[i].error.toStdString();
    }
}

TEST_F(TransferEngineTest, DuplicatesMirrorPostAndPageRule) {
    m_settings.rules.fileHostPages = {u"127.0.0.1"_s};
    DownloadRequest page = request(u"/host/page"_s);
    TransferEngine engine({request(u"$762"_s, u"wcx_mirrored.zip"_s), request(u"$762"_s), page}, m_settings);
    QString readPage;
    engine.setPageText([&](const QString& url) {
        readPage = url;
        return u"<a href=\"%1\">file</a>"_s.arg(m_server.url(u"/dl/../file.zip"_s));
    });
    engine.prepare();
    ASSERT_EQ(engine.rows().size(), 2);
    EXPECT_EQ(engine.rows()[1].id, u"2"_s);
    engine.run();
    EXPECT_EQ(m_posted, "id=762");
    ASSERT_EQ(engine.rows()[0].state, TransferState::Done) << engine.rows()[0].error.toStdString();
    EXPECT_EQ(test::readFile(m_dir.path() + u"/wcx_mirrored.zip"_s), "mirror-bytes");
    EXPECT_EQ(readPage, page.Url);
    EXPECT_EQ(engine.rows()[1].state, TransferState::Done) << engine.rows()[1].error.toStdString();
    EXPECT_EQ(engine.rows()[1].fileName, u"file.zip"_s);
}

TEST_F(TransferEngineTest, MirrorLinkWithoutMirrorFails) {
    m_settings.rules.mirrorBase.clear();
    TransferEngine engine({request(u"$5"_s)}, m_settings);
    engine.run();
    EXPECT_EQ(engine.rows()[0].state, TransferState::Failed);
    EXPECT_TRUE(m_posted.empty());
}

TEST_F(TransferEngineTest, SideBySideEndsAsInTurn) {
    test::LocalHttpServer other;
    m_gate.serve(other.server(), 1);
    ASSERT_TRUE(other.start());
    struct Outcome {
        QList<TransferState> states;
        QStringList files;
        QList<int> installed;
        bool operator==(const Outcome&) const = default;
    };
    QList<Outcome> outcomes;
    for (const int parallel : {1, 4}) {
        SCOPED_TRACE(parallel);
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        // Four transfers at once only when two servers take two each.
        m_gate.reset(parallel == 1 ? 1 : 4);
        m_settings.parallelDownloads = parallel;
        auto at = [&](int server, const char* path) {
            DownloadRequest r = request(QString::fromLatin1(path));
            if (server == 1)
                r.Url = other.url(QString::fromLatin1(path));
            return r;
        };
        DownloadRequestList requests = {at(0, "/gate/big.zip"),     at(1, "/gate/b.zip"),
                                        at(0, "/gate/missing.zip"), at(1, "/gate/same.zip"),
                                        at(0, "/gate/same.zip"),    at(1, "/gate/c.zip")};
        // The large first package and the small fifth go to one folder: the fifth waits.
        for (int i = 0; i < requests.size(); ++i)
            requests[i].ItemPath = i == 0 || i == 4 ? u"/p/shared/x.wcx"_s : u"/p/own%1/x.wcx"_s.arg(i);
        TransferEngine engine(requests, m_settings);
        const auto runner = std::this_thread::get_id();
        std::atomic_bool installing{false};
        Outcome outcome;
        engine.setAfterFile([&](int index, const DownloadRequest&, const QString&) {
            EXPECT_EQ(std::this_thread::get_id(), runner);
            EXPECT_FALSE(installing.exchange(true));
            outcome.installed.append(index);
            installing = false;
        });
        engine.run();
        EXPECT_EQ(m_gate.reached, true);
        EXPECT_LE(m_gate.mostPerServer[0], kTransfersPerHost);
        EXPECT_LE(m_gate.mostPerServer[1], kTransfersPerHost);
        EXPECT_LT(outcome.installed.indexOf(0), outcome.installed.indexOf(4));
        std::sort(outcome.installed.begin(), outcome.installed.end());
        for (const TransferRow& row : engine.rows())
            outcome.states.append(row.state);
        outcome.files = filesLeft();
        outcomes.append(outcome);
    }
    ASSERT_EQ(outcomes.size(), 2);
    EXPECT_EQ(outcomes[0].states,
              (QList<TransferState>{TransferState::Done, TransferState::Done, TransferState::Failed,
                                    TransferState::Done, TransferState::Done, TransferState::Done}));
    // Two servers' "same.zip": never one file written by both.
    EXPECT_EQ(outcomes[0].files,
              (QStringList{u"b.zip"_s, u"big.zip"_s, u"c.zip"_s, u"same (1).zip"_s, u"same.zip"_s}));
    EXPECT_EQ(outcomes[0].installed, (QList<int>{0, 1, 3, 4, 5}));
    EXPECT_TRUE(outcomes[1] == outcomes[0]);
}

TEST_F(TransferEngineTest, CancelEndsEveryTransferAndTheQueue) {
    m_gate.reset(3); // never reached: one server takes two at once
    m_settings.parallelDownloads = 4;
    TransferEngine engine({request(u"/gate/x.zip"_s), request(u"/gate/y.zip"_s), request(u"/gate/z.zip"_s)},
                          m_settings);
    std::thread canceller([&] {
        std::unique_lock lock(m_gate.mutex);
        m_gate.changed.wait(lock, [this] { return m_gate.active == 2; });
        engine.cancel();
    });
    engine.run();
    canceller.join();
    for (const TransferRow& row : engine.rows())
        EXPECT_EQ(row.state, TransferState::Cancelled);
    EXPECT_EQ(m_gate.mostPerServer[0], 2);
    EXPECT_TRUE(filesLeft().isEmpty()) << filesLeft().join(u' ').toStdString();
}

} // namespace
} // namespace quillon
