#include "fixture_site.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace quillon::fixture {

namespace {

constexpr std::string_view kFaultPrefix = "/fault/";
constexpr int kLongestDelayMs = 120000;
constexpr size_t kTrickleChunk = 64;
constexpr std::string_view kVisitCookie = "fixture_visit";

bool isPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
}

std::string typeOf(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".htm" || extension == ".html" || extension == ".php")
        return "text/html; charset=windows-1252";
    if (extension == ".txt")
        return "text/plain";
    if (extension == ".zip")
        return "application/zip";
    return "application/octet-stream";
}

std::optional<std::string> readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void replaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

void setPage(httplib::Response& response, int status, const std::string& title) {
    response.status = status;
    response.set_content("<html><head><title>" + title + "</title></head><body><h1>" + title +
                             "</h1></body></html>\n",
                         "text/html");
}

// The first segment of text and what follows its "/" (the query stays with the rest).
std::pair<std::string_view, std::string_view> splitSegment(std::string_view text) {
    const size_t slash = text.find('/');
    const size_t query = text.find('?');
    if (slash == std::string_view::npos || (query != std::string_view::npos && query < slash))
        return {text.substr(0, query), std::string_view()};
    return {text.substr(0, slash), text.substr(slash + 1)};
}

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

// A fault that wraps an answer keeps what names the file and what the client must remember.
void keepNamingHeaders(const httplib::Response& from, httplib::Response& to) {
    for (const char* name : {"Content-Disposition", "Set-Cookie"}) {
        if (from.has_header(name))
            to.set_header(name, from.get_header_value(name));
    }
}

} // namespace

std::optional<ContentFile> ContentFileFor(std::string_view path, std::string_view id, std::string_view pkg) {
    namespace fs = std::filesystem;
    if (path == "/download.php") {
        // One package per catalogue identifier; a package kind of its own when there is one.
        if (!isPlainName(id) || (!pkg.empty() && !isPlainName(pkg)))
            return std::nullopt;
        return ContentFile{fs::path("packages") / (std::string(id) + ".zip"), "application/zip"};
    }
    if (path == "/get_plugin_details.php") {
        if (!isPlainName(id))
            return std::nullopt;
        return ContentFile{fs::path("details") / (std::string(id) + ".htm"), typeOf("page.htm")};
    }
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    fs::path relative;
    std::string_view rest = path.substr(1);
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (!isPlainName(segment))
            return std::nullopt;
        relative /= std::string(segment);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    if (relative.empty())
        relative = "index.htm";
    return ContentFile{relative, typeOf(relative)};
}

FixtureSite::FixtureSite(std::filesystem::path content, std::string base)
    : m_content(std::move(content)), m_base(std::move(base)) {}

void FixtureSite::install(httplib::Server& server) const {
    server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        answer(request, response, request.target);
    });
    server.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        answerMirror(request, response);
    });
}

void FixtureSite::answerMirror(const httplib::Request& request, httplib::Response& response) const {
    const std::string_view path = request.path;
    const std::string_view form = "/gets.php";
    const std::string id = request.get_param_value("id");
    if (path.size() < form.size() || path.substr(path.size() - form.size()) != form || !isPlainName(id)) {
        setPage(response, 404, "404 Not Found");
        return;
    }
    // The mirror names no file: the client keeps the name it had in mind.
    serveFile(response, std::filesystem::path("mirror") / (id + ".zip"));
}

bool FixtureSite::answerFileHost(const httplib::Request& request, httplib::Response& response,
                                 std::string_view path) const {
    if (path == "/get.php") {
        const std::string name = request.get_param_value("file");
        if (!isPlainName(name))
            setPage(response, 404, "404 Not Found");
        else
            serveFile(response, std::filesystem::path("packages") / name);
        return true;
    }
    const auto [folder, rest] = splitSegment(path.substr(1));
    if (folder != "host" && folder != "dl")
        return false;
    if (!isPlainName(rest) || !std::filesystem::is_regular_file(m_content / "packages" / std::string(rest))) {
        setPage(response, 404, "404 Not Found");
        return true;
    }
    const std::string name(rest);
    const std::string cookie = std::string(kVisitCookie) + "=" + name;
    if (folder == "host") {
        // The file's page: a link elsewhere first, then the one to the file.
        response.status = 200;
        response.set_header("Set-Cookie", cookie + "; Path=/");
        response.set_content("<html><head><title>" + name + "</title></head><body><p><a href=\"" + m_base +
                                 "help.htm\">Help</a></p><p>Your file is ready: <a href=\"" + m_base + "dl/" +
                                 name + "\">" + name + "</a></p></body></html>\n",
                             "text/html");
        return true;
    }
    // Only who saw the page gets the file.
    if (request.get_header_value("Cookie").find(cookie) == std::string::npos) {
        setPage(response, 403, "403 Forbidden");
        return true;
    }
    serveFile(response, std::filesystem::path("packages") / name);
    return true;
}

void FixtureSite::answer(const httplib::Request& request, httplib::Response& response,
                         std::string_view target) const {
    if (target.substr(0, kFaultPrefix.size()) != kFaultPrefix) {
        const std::string_view path = target.substr(0, target.find('?'));
        if (!answerFileHost(request, response, path))
            serveContent(request, response, path);
        return;
    }
    const auto [kind, afterKind] = splitSegment(target.substr(kFaultPrefix.size()));
    const std::string rest = "/" + std::string(afterKind);
    if (kind == "404") {
        setPage(response, 404, "404 Not Found");
    } else if (kind == "500") {
        setPage(response, 500, "500 Internal Server Error");
    } else if (kind == "html") {
        // What a file host shows instead of the file: a page that says it is on its way.
        response.status = 200;
        response.set_content("<html><head><title>Download</title></head><body><p>Your download will start "
                             "shortly. <a href=\"" +
                                 m_base + "\">Back</a></p></body></html>\n",
                             "text/html");
    } else if (kind == "slow" || kind == "redirect" || kind == "trickle") {
        const auto [count, afterCount] = splitSegment(afterKind);
        const std::optional<int> value = number(count);
        if (!value) {
            setPage(response, 400, "400 Bad Request");
            return;
        }
        const std::string next = "/" + std::string(afterCount);
        const std::chrono::milliseconds delay(std::min(*value, kLongestDelayMs));
        if (kind == "slow") {
            std::this_thread::sleep_for(delay);
            answer(request, response, next);
        } else if (kind == "trickle") {
            // The body in small chunks with a pause before each.
            streamAnswer(request, response, next, [delay](std::shared_ptr<const std::string> body) {
                return [body, delay](size_t offset, size_t, httplib::DataSink& sink) {
                    std::this_thread::sleep_for(delay);
                    const size_t length = std::min(kTrickleChunk, body->size() - offset);
                    // A client that hung up ends the answer.
                    return sink.write(body->data() + offset, length);
                };
            });
        } else if (*value > 0) {
            response.set_redirect(std::string(kFaultPrefix) + "redirect/" + std::to_string(*value - 1) + next,
                                  302);
        } else {
            answer(request, response, next);
        }
    } else if (kind == "drop") {
        // Promise the whole answer, send half of it, then hang up.
        streamAnswer(request, response, rest, [](std::shared_ptr<const std::string> body) {
            return [body](size_t offset, size_t, httplib::DataSink& sink) {
                const size_t half = body->size() / 2;
                if (offset < half)
                    sink.write(body->data() + offset, half - offset);
                return offset < half;
            };
        });
    } else {
        setPage(response, 404, "404 Not Found");
    }
}

void FixtureSite::streamAnswer(
    const httplib::Request& request, httplib::Response& response, std::string_view target,
    const std::function<BodySender(std::shared_ptr<const std::string>)>& provider) const {
    httplib::Response whole;
    answer(request, whole, target);
    if (whole.status != 200) {
        response = whole;
        return;
    }
    auto body = std::make_shared<const std::string>(std::move(whole.body));
    response.status = 200;
    keepNamingHeaders(whole, response);
    response.set_content_provider(body->size(), whole.get_header_value("Content-Type"), provider(body));
}

void FixtureSite::serveFile(httplib::Response& response, const std::filesystem::path& relative,
                            const std::string& type) const {
    const std::filesystem::path full = m_content / relative;
    std::optional<std::string> body;
    if (std::filesystem::is_regular_file(full))
        body = readWhole(full);
    if (!body) {
        setPage(response, 404, "404 Not Found");
        return;
    }
    const std::string contentType = type.empty() ? typeOf(relative) : type;
    if (contentType.rfind("text/", 0) == 0)
        replaceAll(*body, "@BASE@", m_base);
    response.status = 200;
    response.set_content(std::move(*body), contentType);
}

void FixtureSite::serveContent(const httplib::Request& request, httplib::Response& response,
                               std::string_view path) const {
    const std::string id = request.get_param_value("id");
    const std::string pkg = request.get_param_value("pkg");
    const std::optional<ContentFile> file = ContentFileFor(path, id, pkg);
    if (!file) {
        setPage(response, 404, "404 Not Found");
        return;
    }
    std::filesystem::path relative = file->relative;
    if (path == "/download.php" && !pkg.empty()) {
        // "totalcmd_x64.zip" before "totalcmd.zip".
        std::filesystem::path specific = relative;
        specific.replace_filename(id + "_" + pkg + ".zip");
        if (std::filesystem::is_regular_file(m_content / specific))
            relative = specific;
    }
    serveFile(response, relative, file->contentType);
    if (response.status == 200 && path == "/download.php")
        response.set_header("Content-Disposition",
                            "attachment; filename=\"" + relative.filename().string() + "\"");
}

} // namespace quillon::fixture
