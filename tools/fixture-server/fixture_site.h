#pragma once
// The routes of the fixture server: the catalogue's pages and packages, Total Commander's
// release pages, a mirror's form, file hosts' rewritten links and cookie-guarded pages, and
// the faults a real site shows (/fault/404, 500, html, slow/MS, redirect/N, drop, trickle/MS),
// all answered from a content folder.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace httplib {
class DataSink;
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace quillon::fixture {

// Sends a body from offset on (a content provider of the HTTP library).
using BodySender = std::function<bool(size_t offset, size_t length, httplib::DataSink& sink)>;

// Where a request path is answered from, below the content folder; nothing for a path that
// would leave it or an identifier that is no plain name.
struct ContentFile {
    std::filesystem::path relative;
    std::string contentType;
};
std::optional<ContentFile> ContentFileFor(std::string_view path, std::string_view id, std::string_view pkg);

class FixtureSite {
public:
    // base: the address the server answers under ("http://127.0.0.1:PORT/"); pages name it in
    // place of "@BASE@" so that their absolute links point back here.
    FixtureSite(std::filesystem::path content, std::string base);

    void install(httplib::Server& server) const;

private:
    void answer(const httplib::Request& request, httplib::Response& response, std::string_view target) const;
    void serveContent(const httplib::Request& request, httplib::Response& response,
                      std::string_view path) const;
    // A file of the content folder by its relative path; a 404 page when there is none.
    // type: the content type; empty for the one its extension gives.
    void serveFile(httplib::Response& response, const std::filesystem::path& relative,
                   const std::string& type = {}) const;
    // The answer to target with its body sent by the provider made for it, so a fault can shape
    // how the body goes out; an answer that is no file passes as it is.
    void streamAnswer(const httplib::Request& request, httplib::Response& response, std::string_view target,
                      const std::function<BodySender(std::shared_ptr<const std::string>)>& provider) const;
    // The mirror's form: "id=N" answered with mirror/N.zip.
    void answerMirror(const httplib::Request& request, httplib::Response& response) const;
    // File-host routes: /get.php?file=NAME, the page /host/NAME that sets a cookie and links
    // to /dl/NAME, which wants that cookie. False when the path is none of them.
    bool answerFileHost(const httplib::Request& request, httplib::Response& response,
                        std::string_view path) const;

    std::filesystem::path m_content;
    std::string m_base;
};

} // namespace quillon::fixture
