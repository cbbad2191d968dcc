#include "platform/wine_prefixes.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "platform/environment_wine.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

// Manager files are small; a larger one is not what it claims to be and is not read whole.
constexpr std::uintmax_t kMaxConfigSize = 1 << 20;

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Sorted, so that the list reads the same on every run whatever order the file system keeps.
std::vector<fs::path> subfolders(const fs::path& dir) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<fs::path> filesWithExtension(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && it->path().extension() == extension)
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<std::string> readSmallFile(const fs::path& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxConfigSize || !isFile(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trimmed(std::string text) {
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!text.empty() && space(static_cast<unsigned char>(text.back())))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && space(static_cast<unsigned char>(text[start])))
        ++start;
    return text.substr(start);
}

// Managers write "~/..." and "$HOME/..." as well as plain paths.
std::string expandedHome(const std::string& path) {
    const std::string home = hostHomeDirectory();
    if (path == "~" || path.rfind("~/", 0) == 0)
        return home + path.substr(1);
    if (path.rfind("$HOME", 0) == 0)
        return home + path.substr(5);
    return path;
}

std::string executableOrNothing(const fs::path& program) {
    return isFile(program) ? program.string() : std::string();
}

// A YAML file as a map; nothing when it cannot be read or is no map. yaml-cpp reports both
// through exceptions, which stop at this boundary.
std::optional<YAML::Node> readYamlMap(const fs::path& path, std::string& problem) {
    const std::optional<std::string> text = readSmallFile(path);
    if (!text) {
        problem = "cannot be read";
        return std::nullopt;
    }
    try {
        YAML::Node node = YAML::Load(*text);
        if (!node.IsMap()) {
            problem = "holds no settings";
            return std::nullopt;
        }
        return node;
    } catch (const YAML::Exception& error) {
        problem = error.what();
        return std::nullopt;
    }
}

// The text of node[key] when it is one; "" for anything else.
std::string yamlText(const YAML::Node& map, const char* key) {
    try {
        const YAML::Node value = map[key];
        return value && value.IsScalar() ? trimmed(value.Scalar()) : std::string();
    } catch (const YAML::Exception&) {
        return {};
    }
}

YAML::Node yamlMap(const YAML::Node& map, const char* key) {
    try {
        const YAML::Node value = map[key];
        return value && value.IsMap() ? value : YAML::Node();
    } catch (const YAML::Exception&) {
        return {};
    }
}

// "KEY=VALUE" lines; nothing when another kind of line shows the file is something else.
std::optional<std::vector<std::pair<std::string, std::string>>> readKeyValues(const fs::path& path) {
    const std::optional<std::string> text = readSmallFile(path);
    if (!text)
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> values;
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || line.find('\0') != std::string::npos)
            return std::nullopt;
        values.emplace_back(trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1)));
    }
    return values;
}

class Scanner {
public:
    WinePrefixScan take() { return std::move(m_scan); }

    // The first manager to name a prefix keeps it: the managers that know a runner are asked
    // before plain Wine, which knows none.
    void add(PrefixManager manager, const fs::path& dir, std::string wineProgram = {}) {
        if (!isWinePrefixFolder(dir.string()))
            return;
        std::error_code ec;
        fs::path canonical = fs::canonical(dir, ec);
        const std::string key = ec ? dir.lexically_normal().string() : canonical.string();
        if (!m_seen.insert(key).second)
            return;
        std::string shown = dir.lexically_normal().string();
        while (shown.size() > 1 && shown.back() == '/')
            shown.pop_back();
        m_scan.prefixes.push_back({manager, shown, std::move(wineProgram)});
    }

    void note(const fs::path& file, const std::string& problem) {
        m_scan.notes.push_back(file.string() + ": " + problem + "; skipped");
    }

    void bottles(const fs::path& root) {
        for (const fs::path& bottle : subfolders(root / "bottles")) {
            const fs::path config = bottle / "bottle.yml";
            std::string runner;
            if (isFile(config)) {
                std::string problem;
                const std::optional<YAML::Node> yaml = readYamlMap(config, problem);
                if (!yaml) {
                    note(config, problem);
                    continue;
                }
                runner = yamlText(*yaml, "Runner");
            }
            // "sys-" runners are the system's Wine, which the bridge finds by itself.
            std::string program;
            if (!runner.empty() && runner.rfind("sys-", 0) != 0 && runner.find('/') == std::string::npos)
                program = executableOrNothing(root / "runners" / runner / "bin" / "wine");
            add(PrefixManager::Bottles, bottle, program);
        }
    }

    void lutris() {
        const fs::path runners = fs::path(hostDataHome()) / "lutris" / "runners" / "wine";
        for (const fs::path& folder : {fs::path(hostConfigHome()) / "lutris" / "games",
                                       fs::path(hostDataHome()) / "lutris" / "games"}) {
            for (const fs::path& config : filesWithExtension(folder, ".yml")) {
                std::string problem;
                const std::optional<YAML::Node> yaml = readYamlMap(config, problem);
                if (!yaml) {
                    note(config, problem);
                    continue;
                }
                const std::string prefix = yamlText(yamlMap(*yaml, "game"), "prefix");
                if (prefix.empty())
                    continue; // a game of another runner
                const std::string version = yamlText(yamlMap(*yaml, "wine"), "version");
                std::string program;
                if (!version.empty() && version != "system" && version.find('/') == std::string::npos)
                    program = executableOrNothing(runners / version / "bin" / "wine");
                const std::string dir = expandedHome(prefix);
                if (dir.front() == '/')
                    add(PrefixManager::Lutris, dir, program);
            }
        }
        // Lutris installs into ~/Games/<game> unless told otherwise.
        for (const fs::path& game : subfolders(fs::path(hostHomeDirectory()) / "Games"))
            add(PrefixManager::Lutris, game);
    }

    void playOnLinux() {
        const fs::path root = fs::path(hostHomeDirectory()) / ".PlayOnLinux";
        for (const fs::path& prefix : subfolders(root / "wineprefix")) {
            const fs::path config = prefix / "playonlinux.cfg";
            std::string version, arch = "x86";
            if (isFile(config)) {
                const auto values = readKeyValues(config);
                if (!values) {
                    note(config, "not a PlayOnLinux configuration");
                    continue;
                }
                for (const auto& [key, value] : *values) {
                    if (key == "VERSION")
                        version = value;
                    else if (key == "ARCH" && !value.empty())
                        arch = value;
                }
            }
            std::string program;
            if (!version.empty() && version.find('/') == std::string::npos &&
                arch.find('/') == std::string::npos)
                program = executableOrNothing(root / "wine" / ("linux-" + arch) / version / "bin" / "wine");
            add(PrefixManager::PlayOnLinux, prefix, program);
        }
    }

    void crossOver() {
        std::string program;
        for (const fs::path& install :
             {fs::path("/opt/cxoffice"), fs::path(hostHomeDirectory()) / "cxoffice"}) {
            program = executableOrNothing(install / "bin" / "wine");
            if (!program.empty())
                break;
        }
        for (const fs::path& bottle : subfolders(fs::path(hostHomeDirectory()) / ".cxoffice")) {
            const fs::path config = bottle / "cxbottle.conf";
            if (!isFile(config))
                continue; // CrossOver's own folders beside the bottles
            if (!crossOverConfigReadable(config)) {
                note(config, "not a CrossOver bottle configuration");
                continue;
            }
            add(PrefixManager::CrossOver, bottle, program);
        }
    }

    void proton() {
        const fs::path home = hostHomeDirectory();
        std::vector<fs::path> roots{home / ".steam" / "steam", fs::path(hostDataHome()) / "Steam",
                                    home / ".var/app/com.valvesoftware.Steam/.local/share/Steam",
                                    home / ".var/app/com.valvesoftware.Steam/data/Steam"};
        std::vector<fs::path> libraries;
        for (const fs::path& root : roots) {
            if (!isDirectory(root / "steamapps"))
                continue;
            libraries.push_back(root);
            const fs::path folders = root / "steamapps" / "libraryfolders.vdf";
            if (!isFile(folders))
                continue;
            const std::optional<std::string> text = readSmallFile(folders);
            if (!text) {
                note(folders, "cannot be read");
                continue;
            }
            // The values this needs are the quoted "path" entries; the rest of the format is not.
            static const std::regex pathEntry(R"re("path"\s+"((?:[^"\\]|\\.)*)")re", std::regex::icase);
            for (std::sregex_iterator it(text->begin(), text->end(), pathEntry), end; it != end; ++it)
                libraries.push_back(std::regex_replace((*it)[1].str(), std::regex(R"(\\\\)"), "\\"));
        }
        std::set<std::string> seenLibraries;
        for (const fs::path& library : libraries) {
            std::error_code ec;
            const fs::path canonical = fs::canonical(library, ec);
            if (ec || !seenLibraries.insert(canonical.string()).second)
                continue;
            for (const fs::path& game : subfolders(library / "steamapps" / "compatdata"))
                add(PrefixManager::Proton, game / "pfx", protonWine(game));
        }
    }

    void winetricks() {
        const char* root = std::getenv("WINE_PREFIXES");
        const fs::path folder =
            root && root[0] == '/' ? fs::path(root) : fs::path(hostDataHome()) / "wineprefixes";
        for (const fs::path& prefix : subfolders(folder))
            add(PrefixManager::Winetricks, prefix);
    }

    void plainWine() {
        if (const char* env = std::getenv("WINEPREFIX"); env && env[0] == '/')
            add(PrefixManager::Wine, env);
        add(PrefixManager::Wine, fs::path(hostHomeDirectory()) / ".wine");
    }

private:
    static bool crossOverConfigReadable(const fs::path& config) {
        const std::optional<std::string> text = readSmallFile(config);
        if (!text)
            return false;
        // Sections, "name" = "value" settings and ";" comments, as CrossOver writes them.
        static const std::regex line(R"re(\s*(|;.*|#.*|\[[^\]]*\]|"[^"]*"\s*=.*)\s*)re");
        std::istringstream lines(*text);
        for (std::string current; std::getline(lines, current);) {
            if (!current.empty() && current.back() == '\r')
                current.pop_back();
            if (!std::regex_match(current, line))
                return false;
        }
        return true;
    }

    // Proton records the files it ran the game with in config_info: the folder of its Wine is
    // the "files" (older: "dist") folder those lines lie in.
    static std::string protonWine(const fs::path& game) {
        const std::optional<std::string> text = readSmallFile(game / "config_info");
        if (!text)
            return {};
        std::istringstream lines(*text);
        for (std::string line; std::getline(lines, line);) {
            for (const char* folder : {"/files/", "/dist/"}) {
                const std::size_t at = line.find(folder);
                if (at == std::string::npos)
                    continue;
                const std::string program = executableOrNothing(
                    fs::path(line.substr(0, at + std::string(folder).size())) / "bin" / "wine");
                if (!program.empty())
                    return program;
            }
        }
        return {};
    }

    WinePrefixScan m_scan;
    std::set<std::string> m_seen;
};

} // namespace

bool isWinePrefixFolder(const std::string& dir) {
    if (dir.empty())
        return false;
    const fs::path path(dir);
    return (isFile(path / "system.reg") || isFile(path / "user.reg")) &&
           (isDirectory(path / "dosdevices") || isDirectory(path / "drive_c"));
}

WinePrefixScan findWinePrefixes() {
    Scanner scanner;
    const fs::path home = hostHomeDirectory();
    scanner.bottles(fs::path(hostDataHome()) / "bottles");
    scanner.bottles(home / ".var/app/com.usebottles.bottles/data/bottles");
    scanner.lutris();
    scanner.playOnLinux();
    scanner.crossOver();
    scanner.proton();
    scanner.winetricks();
    scanner.plainWine();
    return scanner.take();
}

} // namespace quillon::platform
