#include "platform/environment.h"

namespace quillon::platform {

// The expansion rules of ExpandEnvironmentStrings as Windows' and Wine's run it: a reference to
// an unknown variable is copied whole, closing "%" included, and the scan goes on after it.
std::string ExpandEnvPath(const Environment& env, std::string_view text) {
    if (std::optional<std::string> expanded = env.expand(text))
        return *std::move(expanded);
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        if (open == std::string_view::npos) {
            result.append(text.substr(pos));
            break;
        }
        result.append(text.substr(pos, open - pos));
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            result.append(text.substr(open));
            break;
        }
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const std::optional<std::string> value = name.empty() ? std::nullopt : env.variable(name);
        if (value)
            result.append(*value);
        else
            result.append(text.substr(open, close - open + 1));
        pos = close + 1;
    }
    return result;
}

std::string ExpandEnvVariable(const Environment& env, std::string_view text) {
    std::string expanded = ExpandEnvPath(env, text);
    if (expanded == text)
        return {};
    return expanded;
}

int SetEnvVariable(Environment& env, std::string_view name, std::string_view value) {
    return env.setVariable(name, value);
}

} // namespace quillon::platform
