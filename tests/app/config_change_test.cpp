#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include "app/config_change.h"
#include "app/scripted_prompter.h"
#include "app/settings.h"
#include "app/settings_fake_system.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const TextLookup kEnglish = [](const QString&, const QString&, const QString& english) { return english; };

class ConfigChangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        system = test::makeFakeSystem(machine);
    }
    SettingsContext context() const {
        return test::makeSettingsContext(*system, m_dir.path(), {}, m_dir.path() + u"/"_s);
    }

    QTemporaryDir m_dir;
    test::FakeMachine machine;
    std::unique_ptr<System> system;
};

TEST_F(ConfigChangeTest, EachDetectionOptionCountsAndTheQuestionComesOnce) {
    using Change = std::function<void(DetectionOptions&)>;
    const std::pair<const char*, Change> changes[] = {
        {"IntelliSubVer", [](DetectionOptions& o) { o.tcIntelliDetect = !o.tcIntelliDetect; }},
        {"DisablePluginDetection", [](DetectionOptions& o) { o.pluginsDisabled = !o.pluginsDisabled; }},
        {"HidePlugins", [](DetectionOptions& o) { o.autoHideInvalid = !o.autoHideInvalid; }},
        {"IntelliPlugVer", [](DetectionOptions& o) { o.pluginsIntelliDetect = !o.pluginsIntelliDetect; }},
        {"DoNotLoad3rdPApps", [](DetectionOptions& o) { o.disableExternal = !o.disableExternal; }},
        {"DetectionMode", [](DetectionOptions& o) { o.detectionMode = PluginDetection::ManualFile; }},
    };
    IniDocument store;
    store.setText(u"[Plugins]\nAutoHideInvalid=false\nDetectionMode=1\n"_s);
    for (const auto& [name, change] : changes) {
        Settings settings;
        settings.read(store, context());
        ScriptedPrompter prompter;
        DetectionOptions current = DetectionOptions::fromValues(settings.values);
        EXPECT_FALSE(CheckForConfigChange(settings, current, store, prompter, kEnglish)) << name;
        EXPECT_TRUE(prompter.messages().isEmpty()) << name;
        EXPECT_FALSE(settings.values.oneTimeReloadQuestion) << name;

        change(current);
        prompter.queueAnswer(PromptAnswer::Yes);
        EXPECT_TRUE(CheckForConfigChange(settings, current, store, prompter, kEnglish)) << name;
        EXPECT_TRUE(CheckForConfigChange(settings, current, store, prompter, kEnglish) == false) << name;
        ASSERT_EQ(prompter.messages().size(), 1) << name;
        EXPECT_TRUE(settings.values.oneTimeReloadQuestion);
    }
}

TEST_F(ConfigChangeTest, QuestionTextAndAnswerNo) {
    Settings settings;
    IniDocument store;
    settings.read(store, context());
    DetectionOptions current = DetectionOptions::fromValues(settings.values);
    current.pluginsDisabled = true;
    ScriptedPrompter prompter;
    EXPECT_FALSE(CheckForConfigChange(settings, current, store, prompter, kEnglish));
    ASSERT_EQ(prompter.messages().size(), 1);
    const auto& message = prompter.messages().first();
    EXPECT_EQ(message.icon, PromptIcon::Information);
    EXPECT_EQ(message.buttons, PromptButtons::YesNo);
    EXPECT_EQ(message.caption, u"Information"_s);
    EXPECT_EQ(message.text, u"You have changed some essential options on the Configuration tab, but didn't "
                            u"reload the plugin list "
                            "yet. Please be aware that the plugin list needs to be reloaded for the changes "
                            "to take place.\r\n\r\n"
                            "Would you like to reload the plugin list right now?\r\n(you can also do it "
                            "manually using Ctrl + R or "
                            "F5 hotkey anytime)\r\n\r\nNote: This message appears only a single time."_s);
}

TEST_F(ConfigChangeTest, TwoRunsWithTheSameOptionsNeverAskAndAnAskedQuestionStaysAsked) {
    const QString file = m_dir.path() + u"/Quillon.ini"_s;
    for (int run = 0; run < 2; ++run) {
        IniDocument store(file);
        ASSERT_TRUE(store.load());
        Settings settings;
        settings.read(store, context());
        ScriptedPrompter prompter;
        CheckForConfigChange(settings, DetectionOptions::fromValues(settings.values), store, prompter,
                             kEnglish);
        EXPECT_TRUE(prompter.messages().isEmpty()) << run;
        // The user changes an option, reloads (the store now holds the new value) and exits.
        settings.values.plugDisableExternal = run == 0;
        ASSERT_TRUE(settings.save(store, context(), {}));
    }

    IniDocument store(file);
    ASSERT_TRUE(store.load());
    store.setValue(u"Additional"_s, u"OneTimeReloadQuestion"_s, u"True"_s);
    Settings settings;
    settings.read(store, context());
    DetectionOptions changed = DetectionOptions::fromValues(settings.values);
    changed.detectionMode = PluginDetection::PluginsDirectory;
    ScriptedPrompter prompter;
    EXPECT_FALSE(CheckForConfigChange(settings, changed, store, prompter, kEnglish));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

} // namespace
} // namespace quillon
