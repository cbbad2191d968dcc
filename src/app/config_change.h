#pragma once
// The one-time question whether to reload the plugin list after options that change what the
// inventory finds were edited but the list was not reloaded.
#include "app/setting_modes.h"
#include "app/settings_messages.h"

namespace quillon {

class IniDocument;
class Prompter;
class Settings;
struct SettingValues;

// The Configuration page's options that decide what the inventory pass finds, as they are now.
struct DetectionOptions {
    bool tcIntelliDetect = true;                                 // cb_IntelliSubVer
    bool pluginsDisabled = false;                                // cb_DisablePluginDetection
    bool autoHideInvalid = true;                                 // cb_HidePlugins
    bool pluginsIntelliDetect = true;                            // cb_IntelliPlugVer
    bool disableExternal = false;                                // cb_DoNotLoad3rdPApps
    PluginDetection detectionMode = PluginDetection::ConfigFile; // checked, or the stored value

    static DetectionOptions fromValues(const SettingValues& values);
};

// Compares current with the values in the store (which still holds what start-up read). At the
// first difference, and only if the question was never asked, asks once whether to reload now.
// True when the user answered yes (the caller reloads the list).
bool CheckForConfigChange(Settings& settings, const DetectionOptions& current, const IniDocument& store,
                          Prompter& prompter, const TextLookup& texts);

} // namespace quillon
