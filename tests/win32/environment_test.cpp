// The process environment through the system's own calls, and the rules the Linux side copies
// from ExpandEnvironmentStrings checked against the real thing.
#include "platform/environment.h"
#include "platform/win_services.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon::platform {
namespace {

// The Win32 variables without the system's expansion: ExpandEnvPath then applies its own rules.
class OwnRulesEnvironment final : public Environment {
public:
    explicit OwnRulesEnvironment(const Environment& system) : m_system(system) {}
    std::optional<std::string> variable(std::string_view name) const override {
        return m_system.variable(name);
    }
    int setVariable(std::string_view, std::string_view) override { return -1; }

private:
    const Environment& m_system;
};

TEST(Win32Environment, VariablesRoundTrip) {
    const std::unique_ptr<Environment> env = win::makeEnvironment();
    const std::string script = "Z\xc3\xbcrich \xce\xa9 \xe6\xbc\xa2\xe5\xad\x97";
    const std::string longValue(5000, 'v');
    const struct {
        const char* name;
        std::string value;
    } cases[] = {{"QUILLON_SCRIPT", script}, {"QUILLON_LONG", longValue}, {"QUILLON_EMPTY", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(SetEnvVariable(*env, c.name, c.value), 0);
        EXPECT_EQ(env->variable(c.name), c.value);
    }
    // Names match without regard to case, as Total Commander's own references do.
    EXPECT_EQ(env->variable("quillon_script"), script);
    EXPECT_FALSE(env->variable("QUILLON_NEVER_SET").has_value());
    EXPECT_FALSE(env->variable("").has_value());
}

TEST(Win32Environment, OwnExpansionRulesAgreeWithTheSystem) {
    const std::unique_ptr<Environment> env = win::makeEnvironment();
    ASSERT_EQ(env->setVariable("QUILLON_A", "alpha"), 0);
    ASSERT_EQ(env->setVariable("QUILLON_B", "C:\\b\\"), 0);
    const OwnRulesEnvironment own(*env);
    const char* inputs[] = {
        "%QUILLON_A%",
        "%quillon_a%\\wincmd.ini",
        "%QUILLON_B%%QUILLON_A%",
        "%QUILLON_UNKNOWN%",
        "%QUILLON_UNKNOWN%QUILLON_A%",
        "100%",
        "%%",
        "%%QUILLON_A%%",
        "50% of %QUILLON_A%",
        "no references",
        "%QUILLON_A",
        "",
    };
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        const std::optional<std::string> system = env->expand(input);
        ASSERT_TRUE(system.has_value());
        EXPECT_EQ(ExpandEnvPath(own, input), *system);
        EXPECT_EQ(ExpandEnvPath(*env, input), *system);
    }
}

} // namespace
} // namespace quillon::platform
