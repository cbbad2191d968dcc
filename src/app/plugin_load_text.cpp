#include "app/plugin_load_text.h"

#include "app/language.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kSection = u"PluginLoadCheck"_s;

struct ReasonText {
    platform::PluginLoadState state;
    const char16_t* key;
    const char16_t* english;
};

constexpr ReasonText kReasons[] = {
    {platform::PluginLoadState::NotPe, u"ReasonNotPe", u"not a Windows program file"},
    {platform::PluginLoadState::WrongMachine, u"ReasonWrongMachine",
     u"built for %s, not for the bitness its name says"},
    {platform::PluginLoadState::MissingDll, u"ReasonMissingDll", u"the DLL %s it needs is missing"},
    {platform::PluginLoadState::InitFailed, u"ReasonInitFailed", u"its initialisation (DllMain) refused"},
    {platform::PluginLoadState::MissingExport, u"ReasonMissingExport", u"the function %s is missing"},
    {platform::PluginLoadState::LoadFailed, u"ReasonLoadFailed", u"the loader failed (%s)"},
    {platform::PluginLoadState::Crashed, u"ReasonCrashed", u"it crashed while loading"},
    {platform::PluginLoadState::TimedOut, u"ReasonTimedOut", u"no answer within the time limit"},
    {platform::PluginLoadState::NotPlugin, u"ReasonNotPlugin", u"not a plugin file"},
    {platform::PluginLoadState::Unreadable, u"ReasonUnreadable", u"the file cannot be read"},
    {platform::PluginLoadState::NoWine, u"ReasonNoWine", u"Wine was not found"},
    {platform::PluginLoadState::No32BitWine, u"ReasonNo32BitWine", u"no 32-bit Wine"},
    {platform::PluginLoadState::BridgeMissing, u"ReasonBridgeMissing", u"quillon-tcbridge.exe is missing"},
    {platform::PluginLoadState::BridgeFailed, u"ReasonBridgeFailed", u"the bridge program did not run"},
    {platform::PluginLoadState::Cancelled, u"ReasonCancelled", u"cancelled"},
};

} // namespace

QString PluginLoadReason(const platform::PluginLoadResult& result, const Language& language) {
    if (result.state == platform::PluginLoadState::MissingDll && result.detail.empty())
        return language.text(kSection, u"ReasonMissingDllUnknown"_s, u"a DLL it needs is missing"_s);
    for (const ReasonText& reason : kReasons)
        if (reason.state == result.state)
            return language.format(kSection, QString::fromUtf16(reason.key),
                                   QString::fromUtf16(reason.english),
                                   {QString::fromStdString(result.detail), {}, {}});
    return {};
}

QString PluginLoadText(const platform::PluginLoadResult& result, const Language& language) {
    if (result.loads())
        return language.text(kSection, u"Loads"_s, u"loads"_s);
    const QString reason = PluginLoadReason(result, language);
    return result.broken()
               ? language.format(kSection, u"DoesNotLoad"_s, u"does not load: %s"_s, {reason, {}, {}})
               : language.format(kSection, u"CannotCheck"_s, u"cannot check: %s"_s, {reason, {}, {}});
}

QString PluginUpdateFailedText(const platform::PluginLoadResult& result, const Language& language) {
    return language.format(kSection, u"UpdateFailed"_s, u"Update failed: does not load (%s)"_s,
                           {PluginLoadReason(result, language), {}, {}});
}

} // namespace quillon
