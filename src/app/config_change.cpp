#include "app/config_change.h"

#include "app/prompter.h"
#include "app/settings.h"
#include "app/settings_keys.h"

using namespace Qt::StringLiterals;

namespace quillon {

DetectionOptions DetectionOptions::fromValues(const SettingValues& values) {
    return {values.tcIntelliDetect,   values.plugDisabled,        values.plugAutoHideInvalid,
            values.plugIntelliDetect, values.plugDisableExternal, values.plugDetectionMode};
}

bool CheckForConfigChange(Settings& settings, const DetectionOptions& current, const IniDocument& store,
                          Prompter& prompter, const TextLookup& texts) {
    if (settings.values.oneTimeReloadQuestion)
        return false;
    const bool unchanged = current.tcIntelliDetect == ReadSettingBool(store, key::TcIntelliDetect) &&
                           current.pluginsDisabled == ReadSettingBool(store, key::PlugDisabled) &&
                           current.autoHideInvalid == ReadSettingBool(store, key::PlugAutoHideInvalid) &&
                           current.pluginsIntelliDetect == ReadSettingBool(store, key::PlugIntelliDetect) &&
                           current.disableExternal == ReadSettingBool(store, key::PlugDisableExternal) &&
                           modeNumber(current.detectionMode) == ReadSettingInt(store, key::PlugDetectionMode);
    if (unchanged)
        return false;

    settings.values.oneTimeReloadQuestion = true;
    const QString section = u"ErrorMessages"_s;
    const auto text = [&](const QString& key, const QString& english) {
        return texts(section, key, english);
    };
    const QString crlf = u"\r\n"_s;
    const QString message =
        text(
            u"ConfigChange_01"_s,
            u"You have changed some essential options on the Configuration tab, but didn't reload the plugin list yet."_s) +
        QLatin1Char(' ') +
        text(u"ConfigChange_02"_s,
             u"Please be aware that the plugin list needs to be reloaded for the changes to take place."_s) +
        crlf + crlf + text(u"ConfigChange_03"_s, u"Would you like to reload the plugin list right now?"_s) +
        crlf +
        text(u"ConfigChange_04"_s, u"(you can also do it manually using Ctrl + R or F5 hotkey anytime)"_s) +
        crlf + crlf + text(u"ConfigChange_Note"_s, u"Note: This message appears only a single time."_s);
    return prompter.ask(PromptIcon::Information, PromptButtons::YesNo,
                        text(u"CaptionInfo"_s, u"Information"_s), message) == PromptAnswer::Yes;
}

} // namespace quillon
