#pragma once
// What a plugin load check found, in the user's language: "loads", "does not load: <reason>" or
// "cannot check: <reason>".
#include <QString>

#include "platform/plugin_load.h"

namespace quillon {

class Language;

// The reason alone ("the DLL x.dll it needs is missing"); empty when the plugin loads.
QString PluginLoadReason(const platform::PluginLoadResult& result, const Language& language);
QString PluginLoadText(const platform::PluginLoadResult& result, const Language& language);
// A row's status after its update was taken back: "Update failed: does not load (<reason>)".
QString PluginUpdateFailedText(const platform::PluginLoadResult& result, const Language& language);

} // namespace quillon
