// The bridge's answer to "load" when it is cut short: a silent 32-bit run means no 32-bit Wine,
// never a broken plugin; a run that started and ended early is the plugin's crash.
#include <gtest/gtest.h>

#include "platform/plugin_load.h"

namespace quillon {
namespace {

using platform::PluginLoadState;

TEST(PluginLoadReply, CutShortAnswersAreToldApart) {
    struct Case {
        const char* output;
        bool named64;
        PluginLoadState state;
        bool broken;
    };
    const Case cases[] = {
        {"", false, PluginLoadState::No32BitWine, false},
        {"", true, PluginLoadState::BridgeFailed, false},
        {"started 1\n", true, PluginLoadState::Crashed, true},
        {"started 1\r\nresult missing-dll\r\ndetail x.dll\r\nend\r\n", true, PluginLoadState::MissingDll,
         true},
        {"started 1\nresult loads\ndetail \nend\n", false, PluginLoadState::Loads, false},
        {"started 1\nresult surprise\nend\n", true, PluginLoadState::Crashed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const platform::PluginLoadResult result = platform::pluginLoadResultFromOutput(c.output, c.named64);
        EXPECT_EQ(platform::pluginLoadStateName(result.state), platform::pluginLoadStateName(c.state));
        EXPECT_EQ(result.broken(), c.broken);
    }
    EXPECT_EQ(platform::pluginLoadResultFromOutput("started 1\nresult missing-dll\ndetail x.dll\nend\n", true)
                  .detail,
              "x.dll");
}

} // namespace
} // namespace quillon
