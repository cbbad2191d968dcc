#include "platform/environment_wine.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <vector>

namespace quillon::platform {
namespace {

constexpr int kMaxExpansionDepth = 8;
// Depth alone does not bound the work: a value naming itself sixteen times grows sixteen-fold
// per level. One lookup of a variable may expand this many values and produce this many
// characters (Windows' own limit for a variable) before the rest is left unexpanded.
constexpr int kMaxExpansions = 256;
constexpr std::size_t kMaxExpandedLength = 32767;

std::string upperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return upperAscii(a) == upperAscii(b);
}

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    // XDG says relative values are invalid and must be ignored.
    if (value && value[0] == '/')
        return value;
    return fallback;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::mutex& programSetMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<std::string>& programSetNames() {
    static std::set<std::string> names;
    return names;
}

} // namespace

std::string hostHomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return withoutTrailingSlash(home);
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return withoutTrailingSlash(entry->pw_dir);
    return "/";
}

std::string hostConfigHome() {
    return withoutTrailingSlash(envOr("XDG_CONFIG_HOME", hostHomeDirectory() + "/.config"));
}

std::string hostDataHome() {
    return withoutTrailingSlash(envOr("XDG_DATA_HOME", hostHomeDirectory() + "/.local/share"));
}

std::string hostTempDirectory() {
    return withoutTrailingSlash(envOr("TMPDIR", "/tmp"));
}

std::optional<std::string> processVariable(std::string_view name) {
    if (name.empty() || name.find('=') != std::string_view::npos)
        return std::nullopt;
    if (const char* exact = std::getenv(std::string(name).c_str()))
        return std::string(exact);
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view item(*entry);
        const std::size_t eq = item.find('=');
        if (eq != std::string_view::npos && equalsIgnoringCase(item.substr(0, eq), name))
            return std::string(item.substr(eq + 1));
    }
    return std::nullopt;
}

int setProcessVariable(std::string_view name, std::string_view value) {
    if (name.empty() || name.find('=') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos || value.find('\0') != std::string_view::npos)
        return EINVAL;
    // Windows names are case-insensitive: one variable, whatever spelling set it before.
    std::vector<std::string> spellings;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view item(*entry);
        const std::size_t eq = item.find('=');
        if (eq != std::string_view::npos && equalsIgnoringCase(item.substr(0, eq), name) &&
            item.substr(0, eq) != name)
            spellings.emplace_back(item.substr(0, eq));
    }
    for (const std::string& spelling : spellings)
        unsetenv(spelling.c_str());
    if (setenv(std::string(name).c_str(), std::string(value).c_str(), 1) != 0)
        return errno ? errno : EINVAL;
    const std::lock_guard lock(programSetMutex());
    programSetNames().insert(upperAscii(name));
    return 0;
}

bool wasSetByProgram(std::string_view name) {
    const std::lock_guard lock(programSetMutex());
    return programSetNames().count(upperAscii(name)) != 0;
}

std::optional<std::string> OwnEnvironment::variable(std::string_view name) const {
    if (std::optional<std::string> value = processVariable(name))
        return value;
    const std::string key = upperAscii(name);
    if (key == "APPDATA")
        return hostConfigHome();
    if (key == "LOCALAPPDATA")
        return hostDataHome();
    if (key == "TEMP" || key == "TMP")
        return hostTempDirectory();
    if (key == "USERPROFILE")
        return hostHomeDirectory();
    return std::nullopt;
}

int OwnEnvironment::setVariable(std::string_view name, std::string_view value) {
    return setProcessVariable(name, value);
}

struct WineTcEnvironment::ExpansionBudget {
    int expansions = kMaxExpansions;
    std::size_t length = kMaxExpandedLength;
};

// Lets ExpandEnvPath resolve references inside registry values within one lookup's budget
// (A=%B%, B=%A% in a user's registry must not hang or overflow the stack).
class BoundedEnvironment final : public Environment {
public:
    BoundedEnvironment(const WineTcEnvironment& env, int depth, WineTcEnvironment::ExpansionBudget& budget)
        : m_env(env), m_depth(depth), m_budget(budget) {}
    std::optional<std::string> variable(std::string_view name) const override {
        return m_env.lookup(name, m_depth, m_budget);
    }
    int setVariable(std::string_view, std::string_view) override { return EPERM; }

private:
    const WineTcEnvironment& m_env;
    int m_depth;
    WineTcEnvironment::ExpansionBudget& m_budget;
};

WineTcEnvironment::WineTcEnvironment(const Registry& registry, std::string prefix, bool commanderVariables)
    : m_registry(registry), m_prefix(std::move(prefix)), m_commanderVariables(commanderVariables) {}

std::optional<std::string> WineTcEnvironment::variable(std::string_view name) const {
    ExpansionBudget budget;
    return lookup(name, 0, budget);
}

int WineTcEnvironment::setVariable(std::string_view name, std::string_view value) {
    return setProcessVariable(name, value);
}

std::optional<std::string> WineTcEnvironment::lookup(std::string_view name, int depth,
                                                     ExpansionBudget& budget) const {
    if (m_prefix.empty())
        return processVariable(name);
    // Total Commander hands its COMMANDER_* variables to the programs it starts.
    if (m_commanderVariables && (upperAscii(name).rfind("COMMANDER_", 0) == 0 || wasSetByProgram(name))) {
        if (std::optional<std::string> value = processVariable(name))
            return value;
    }
    static constexpr struct {
        RegistryRoot root;
        std::string_view key;
    } sources[] = {
        {RegistryRoot::CurrentUser, "Volatile Environment"},
        {RegistryRoot::CurrentUser, "Environment"},
        {RegistryRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Session Manager\\Environment"},
    };
    for (const auto& source : sources) {
        const std::optional<RegistryValue> value = m_registry.read(source.root, source.key, name);
        if (!value)
            continue;
        if (value->type == RegistryValue::Type::String)
            return value->text;
        if (value->type == RegistryValue::Type::ExpandString) {
            if (depth >= kMaxExpansionDepth || budget.expansions <= 0)
                return value->text;
            --budget.expansions;
            std::string expanded = ExpandEnvPath(BoundedEnvironment(*this, depth + 1, budget), value->text);
            if (expanded.size() > budget.length) {
                budget.length = 0;
                budget.expansions = 0;
                return value->text;
            }
            budget.length -= expanded.size();
            return expanded;
        }
    }
    return wellKnown(name);
}

std::string WineTcEnvironment::userName() const {
    namespace fs = std::filesystem;
    const char* user = std::getenv("USER");
    std::vector<std::string> candidates;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(m_prefix) / "drive_c" / "users", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        const std::string key = upperAscii(entry);
        if (key == "PUBLIC" || key == "DEFAULT" || key == "ALL USERS" || key == "DEFAULT USER")
            continue;
        if (!it->is_directory(ec))
            continue;
        if (user && entry == user)
            return entry;
        candidates.push_back(entry);
    }
    if (!candidates.empty())
        return *std::min_element(candidates.begin(), candidates.end());
    return user && *user ? std::string(user) : std::string("user");
}

// What Windows (and Wine's own start-up) defines without a registry value.
std::optional<std::string> WineTcEnvironment::wellKnown(std::string_view name) const {
    const std::string key = upperAscii(name);
    // The user's name takes a listing of the prefix's users folder: only the names that need it
    // pay for it, not every lookup of an unset variable such as COMMANDER_PATH.
    const auto profile = [this] { return "C:\\users\\" + userName(); };
    if (key == "USERPROFILE")
        return profile();
    if (key == "APPDATA")
        return profile() + "\\AppData\\Roaming";
    if (key == "LOCALAPPDATA")
        return profile() + "\\AppData\\Local";
    if (key == "TEMP" || key == "TMP")
        return profile() + "\\AppData\\Local\\Temp";
    if (key == "USERNAME")
        return userName();
    if (key == "HOMEDRIVE" || key == "SYSTEMDRIVE")
        return std::string("C:");
    if (key == "HOMEPATH")
        return profile().substr(2);
    if (key == "WINDIR" || key == "SYSTEMROOT")
        return std::string("C:\\windows");
    if (key == "COMSPEC")
        return std::string("C:\\windows\\system32\\cmd.exe");
    if (key == "PROGRAMFILES" || key == "PROGRAMW6432")
        return std::string("C:\\Program Files");
    if (key == "PROGRAMFILES(X86)")
        return std::string("C:\\Program Files (x86)");
    if (key == "COMMONPROGRAMFILES")
        return std::string("C:\\Program Files\\Common Files");
    if (key == "PROGRAMDATA" || key == "ALLUSERSPROFILE")
        return std::string("C:\\ProgramData");
    if (key == "PUBLIC")
        return std::string("C:\\users\\Public");
    return std::nullopt;
}

} // namespace quillon::platform
