#pragma once
// The one table of the settings file: every key with its section, type, default and the field
// that holds it in memory. kSettingsReadOrder is the order of reading at start-up,
// kSettingsWriteOrder the order of writing at shutdown (which decides the layout of a new file).
#include <QString>

#include <array>
#include <type_traits>
#include <utility>
#include <variant>

#include "app/ini_document.h"
#include "app/settings_values.h"

namespace quillon {

enum class SettingType : quint8 { Bool, Int, Text };

// How a text value is cleaned when it is read (and when it is written back).
enum class TextRule : quint8 {
    AsRead,       // read untouched, written trimmed
    Trimmed,      //
    TrimmedUpper, //
    BaseAddress   // trimmed; a non-empty value gets a trailing "/"
};

// Defaults that depend on the installation rather than on the table.
enum class DefaultFrom : quint8 {
    Table,
    TcIniFile,            // the wincmd.ini in use
    OwnTempDirectory,     // "%APPDATA%" + separator + ProgramBaseName + separator
    LocatedUseIniInTcDir, // what the location rules read before the file was chosen
    ColumnWidth           // the update list's default column width for `column`
};

// A setting kept as a named mode (setting_modes.h) is read and written as its number.
struct ModeField {
    int (*get)(const SettingValues&);
    void (*set)(SettingValues&, int);
};

// Any field that holds a number (an int or a mode) read and written as its number.
template <auto Field> constexpr ModeField numberField() {
    using Number = std::remove_cvref_t<decltype(std::declval<SettingValues&>().*Field)>;
    return {[](const SettingValues& v) { return static_cast<int>(v.*Field); },
            [](SettingValues& v, int number) { v.*Field = static_cast<Number>(number); }};
}

using SettingField = std::variant<std::monostate, bool SettingValues::*, int SettingValues::*,
                                  QString SettingValues::*, ModeField>;

struct SettingKey {
    const char* section;
    const char* key;
    SettingType type;
    SettingField field; // empty for keys the program stores but keeps no field for
    bool boolDefault = false;
    int intDefault = 0;
    const char* textDefault = "";
    TextRule rule = TextRule::AsRead;
    DefaultFrom defaultFrom = DefaultFrom::Table;
    int column = 0;

    QString sectionName() const { return QString::fromLatin1(section); }
    QString keyName() const { return QString::fromLatin1(key); }
};

namespace section {
inline constexpr char Configuration[] = "Configuration";
inline constexpr char Language[] = "Language";
inline constexpr char TotalCommander[] = "Total Commander";
inline constexpr char Plugins[] = "Plugins";
inline constexpr char Gui[] = "GUI";
inline constexpr char AddonInfo[] = "AddonInfo";
inline constexpr char UserDb[] = "UserDB";
inline constexpr char Additional[] = "Additional";
inline constexpr char Sites[] = "Sites";
inline constexpr char Limits[] = "Limits";
inline constexpr char Wine[] = "Wine";
inline constexpr char ExceptionList[] = "ExceptionList";
inline constexpr char OverridePlugVer[] = "OverridePlugVer";
} // namespace section

namespace detail {
constexpr SettingKey boolKey(const char* s, const char* k, bool SettingValues::*f, bool def) {
    return {s, k, SettingType::Bool, f, def};
}
constexpr SettingKey intKey(const char* s, const char* k, int SettingValues::*f, int def) {
    return {s, k, SettingType::Int, f, false, def};
}
template <auto Field> constexpr SettingKey modeKey(const char* s, const char* k, int def) {
    return {s, k, SettingType::Int, numberField<Field>(), false, def};
}
constexpr SettingKey textKey(const char* s, const char* k, QString SettingValues::*f, const char* def,
                             TextRule rule, DefaultFrom from = DefaultFrom::Table) {
    return {s, k, SettingType::Text, f, false, 0, def, rule, from};
}
constexpr SettingKey columnKey(const char* k, int SettingValues::*f, int column) {
    return {section::Gui, k, SettingType::Int, f, false, 0, "", TextRule::AsRead, DefaultFrom::ColumnWidth,
            column};
}
// Keys read and written by a window of their own when it opens and closes.
constexpr SettingKey windowKey(const char* k, int def) {
    return {section::Gui, k, SettingType::Int, std::monostate{}, false, def};
}
} // namespace detail

namespace key {
using namespace detail;
using S = SettingValues;
using TR = TextRule;

inline constexpr SettingKey UseIniInTCDir =
    textKey(section::Configuration, "UseIniInTCDir", &S::useIniInTcDir, "False", TR::Trimmed,
            DefaultFrom::LocatedUseIniInTcDir);
inline constexpr SettingKey CurrentLng =
    textKey(section::Language, "CurrentLng", &S::currentLng, "", TR::TrimmedUpper);

inline constexpr SettingKey TcDisabled = boolKey(section::TotalCommander, "Disabled", &S::tcDisabled, false);
inline constexpr SettingKey TcDoNotAcceptBeta =
    boolKey(section::TotalCommander, "DoNotAcceptBETA", &S::tcDoNotAcceptBeta, false);
inline constexpr SettingKey TcIntelliDetect =
    boolKey(section::TotalCommander, "IntelliDetect", &S::tcIntelliDetect, true);
inline constexpr SettingKey TcDevCompareMethod =
    boolKey(section::TotalCommander, "DevCompareMethod", &S::tcDevCompareMethod, false);
inline constexpr SettingKey TcDownloadPackage =
    modeKey<&S::tcDownloadPackage>(section::TotalCommander, "DownloadPackage", 0);
inline constexpr SettingKey TcExcludeInstFiles =
    textKey(section::TotalCommander, "ExcludeInstFiles", &S::tcExcludeInstFiles, "", TR::Trimmed);

inline constexpr SettingKey PlugDisabled = boolKey(section::Plugins, "Disabled", &S::plugDisabled, false);
inline constexpr SettingKey PlugAutoHideInvalid =
    boolKey(section::Plugins, "AutoHideInvalid", &S::plugAutoHideInvalid, true);
inline constexpr SettingKey PlugIntelliDetect =
    boolKey(section::Plugins, "IntelliDetect", &S::plugIntelliDetect, true);
inline constexpr SettingKey PlugDisableExternal =
    boolKey(section::Plugins, "DisableExternal", &S::plugDisableExternal, false);
inline constexpr SettingKey PlugDetectionMode =
    modeKey<&S::plugDetectionMode>(section::Plugins, "DetectionMode", 0);
inline constexpr SettingKey PlugUpdateDateCheck =
    boolKey(section::Plugins, "UpdateDateCheck", &S::plugUpdateDateCheck, true);
inline constexpr SettingKey PlugPubDateDiffCorr =
    intKey(section::Plugins, "PubDateDiffCorr", &S::plugPubDateDiffCorr, 1);
inline constexpr SettingKey PlugManualFilePath = textKey(
    section::Plugins, "ManualFilePath", &S::plugManualFilePath, "", TR::Trimmed, DefaultFrom::TcIniFile);
inline constexpr SettingKey PlugSecondaryPlgDir =
    textKey(section::Plugins, "SecondaryPlgDir", &S::plugSecondaryPlgDir, "", TR::Trimmed);
inline constexpr SettingKey PlugForceSecondary =
    boolKey(section::Plugins, "ForceSecondary", &S::plugForceSecondary, false);
inline constexpr SettingKey PlugChecksumDbState =
    modeKey<&S::plugChecksumDbState>(section::Plugins, "ChecksumDBstate", 2);
inline constexpr SettingKey PlugTreatDateAsVer =
    boolKey(section::Plugins, "TreatDateAsVer", &S::plugTreatDateAsVer, true);
inline constexpr SettingKey PlugForceUseOfFn =
    boolKey(section::Plugins, "ForceUseOfFN", &S::plugForceUseOfFn, false);
inline constexpr SettingKey PlugOnlineNameCorr =
    boolKey(section::Plugins, "OnlineNameCorr", &S::plugOnlineNameCorr, true);
inline constexpr SettingKey PlugVerCorrOnDateMatch =
    boolKey(section::Plugins, "VerCorrOnDateMatch", &S::plugVerCorrOnDateMatch, true);
inline constexpr SettingKey PlugExcludeInstFiles =
    textKey(section::Plugins, "ExcludeInstFiles", &S::plugExcludeInstFiles, "", TR::Trimmed);

inline constexpr SettingKey DatabaseEnabled =
    boolKey(section::Configuration, "DatabaseEnabled", &S::databaseEnabled, true);
inline constexpr SettingKey DownloadDir =
    textKey(section::Configuration, "DownloadDir", &S::downloadDir, "", TR::Trimmed);
inline constexpr SettingKey DlFileName = {section::Configuration, "DLFileName", SettingType::Text,
                                          std::monostate{},       false,        0,
                                          "{FN}_v{VER}_{ODATE}"};
inline constexpr SettingKey HttpTimeOut =
    intKey(section::Configuration, "HttpTimeOut", &S::httpTimeOut, 7000);
inline constexpr SettingKey ParallelDownloads =
    intKey(section::Configuration, "ParallelDownloads", &S::parallelDownloads, 4);
inline constexpr SettingKey ProxyEnabled =
    boolKey(section::Configuration, "ProxyEnabled", &S::proxyEnabled, false);
inline constexpr SettingKey ProxyType =
    textKey(section::Configuration, "ProxyType", &S::proxyType, "0", TR::AsRead);
inline constexpr SettingKey ProxyAddress =
    textKey(section::Configuration, "ProxyAddress", &S::proxyAddress, "", TR::Trimmed);
inline constexpr SettingKey ProxyPort =
    textKey(section::Configuration, "ProxyPort", &S::proxyPort, "80", TR::Trimmed);
inline constexpr SettingKey ProxyUsername =
    textKey(section::Configuration, "ProxyUsername", &S::proxyUsername, "", TR::Trimmed);
inline constexpr SettingKey ProxyPassword =
    textKey(section::Configuration, "ProxyPassword", &S::proxyPassword, "", TR::Trimmed);
inline constexpr SettingKey SearchEngine = textKey(section::Configuration, "SearchEngine", &S::searchEngine,
                                                   "https://www.google.com/search?q=%s", TR::Trimmed);
inline constexpr SettingKey OneTimeTempDirChange =
    boolKey(section::Additional, "OneTimeTempDirChange", &S::oneTimeTempDirChange, false);
inline constexpr SettingKey TempDirectory =
    textKey(section::Configuration, "TempDirectory", &S::tempDirectory, "", TR::Trimmed,
            DefaultFrom::OwnTempDirectory);
inline constexpr SettingKey InstallAfterDl =
    boolKey(section::Configuration, "InstallAfterDL", &S::installAfterDl, false);
inline constexpr SettingKey NoSelfUpdate =
    boolKey(section::Configuration, "NoSelfUpdate", &S::noSelfUpdate, false);
inline constexpr SettingKey ForceUseExtDb =
    boolKey(section::Configuration, "ForceUseExtDB", &S::forceUseExtDb, false);
inline constexpr SettingKey PreInstallAction =
    modeKey<&S::preInstallAction>(section::Configuration, "PreInstallAction", 1);
inline constexpr SettingKey PostInstallAction =
    modeKey<&S::postInstallAction>(section::Configuration, "PostInstallAction", 0);
inline constexpr SettingKey VerifyAfterInstall =
    boolKey(section::Configuration, "VerifyAfterInstall", &S::verifyAfterInstall, true);
inline constexpr SettingKey DownloadManagerCommand =
    textKey(section::Configuration, "DownloadManagerCommand", &S::downloadManagerCommand, "", TR::Trimmed);

inline constexpr SettingKey PrcMsgOnLoad = boolKey(section::Gui, "PrcMsgOnLoad", &S::prcMsgOnLoad, false);
inline constexpr SettingKey ShowInfoBox = boolKey(section::Gui, "ShowInfoBox", &S::showInfoBox, false);
inline constexpr SettingKey ShowPlugIcons = boolKey(section::Gui, "ShowPlugIcons", &S::showPlugIcons, true);
inline constexpr SettingKey JumpToFirstUpd =
    boolKey(section::Gui, "JumpToFirstUpd", &S::jumpToFirstUpd, true);
inline constexpr SettingKey AllowResize = boolKey(section::Gui, "AllowResize", &S::allowResize, true);
inline constexpr SettingKey ScrollOnUpdCheck =
    boolKey(section::Gui, "ScrollOnUpdCheck", &S::scrollOnUpdCheck, true);
inline constexpr SettingKey ShowItemType = intKey(section::Gui, "ShowItemType", &S::showItemType, 0);
inline constexpr SettingKey AlwaysSavePos = boolKey(section::Gui, "AlwaysSavePos", &S::alwaysSavePos, false);
inline constexpr SettingKey ShowMenuShortcuts =
    boolKey(section::Gui, "ShowMenuShortcuts", &S::showMenuShortcuts, true);
inline constexpr SettingKey ForceOriginalFont =
    boolKey(section::Gui, "ForceOriginalFont", &S::forceOriginalFont, false);
inline constexpr SettingKey MainFormW = intKey(section::Gui, "MainForm_W", &S::mainFormW, 475);
inline constexpr SettingKey MainFormH = intKey(section::Gui, "MainForm_H", &S::mainFormH, 593);
inline constexpr SettingKey UpdateListW0 = columnKey("UpdateList_W0", &S::updateListW0, 0);
inline constexpr SettingKey UpdateListW1 = columnKey("UpdateList_W1", &S::updateListW1, 1);
inline constexpr SettingKey UpdateListW2 = columnKey("UpdateList_W2", &S::updateListW2, 2);
inline constexpr SettingKey UpdateListW3 = columnKey("UpdateList_W3", &S::updateListW3, 3);

inline constexpr SettingKey ChecksumMethod =
    intKey(section::AddonInfo, "ChecksumMethod", &S::checksumMethod, 0);
inline constexpr SettingKey IgnoreUserDb = boolKey(section::UserDb, "IgnoreUserDB", &S::ignoreUserDb, false);
inline constexpr SettingKey IgnoreExceptionList =
    boolKey(section::UserDb, "IgnoreExceptionList", &S::ignoreExceptionList, false);

inline constexpr SettingKey OneTimeProxyDetect =
    boolKey(section::Additional, "OneTimeProxyDetect", &S::oneTimeProxyDetect, false);
inline constexpr SettingKey OneTimeUpdateQuestion =
    boolKey(section::Additional, "OneTimeUpdateQuestion", &S::oneTimeUpdateQuestion, false);
inline constexpr SettingKey OneTimeReloadQuestion =
    boolKey(section::Additional, "OneTimeReloadQuestion", &S::oneTimeReloadQuestion, false);
inline constexpr SettingKey RememberTcPackageSel =
    boolKey(section::Additional, "RememberTCpackageSel", &S::rememberTcPackageSel, false);

inline constexpr SettingKey MainFormL = intKey(section::Gui, "MainForm_L", &S::mainFormL, -1);
inline constexpr SettingKey MainFormT = intKey(section::Gui, "MainForm_T", &S::mainFormT, -1);

inline constexpr SettingKey SiteCatalogue =
    textKey(section::Sites, "Catalogue", &S::siteCatalogue, "http://www.totalcmd.net/", TR::BaseAddress);
inline constexpr SettingKey SiteCatalogueRu =
    textKey(section::Sites, "CatalogueRu", &S::siteCatalogueRu, "http://wincmd.ru/", TR::BaseAddress);
inline constexpr SettingKey SiteTotalCommander = textKey(
    section::Sites, "TotalCommander", &S::siteTotalCommander, "http://www.ghisler.com/", TR::BaseAddress);
inline constexpr SettingKey SiteForum =
    textKey(section::Sites, "Forum", &S::siteForum, "http://www.ghisler.ch/", TR::BaseAddress);
inline constexpr SettingKey SiteMirror =
    textKey(section::Sites, "Mirror", &S::siteMirror, "", TR::BaseAddress);
inline constexpr SettingKey RuleAHosts =
    textKey(section::Sites, "RuleAHosts", &S::ruleAHosts, "", TR::Trimmed);
inline constexpr SettingKey RuleBHosts =
    textKey(section::Sites, "RuleBHosts", &S::ruleBHosts, "", TR::Trimmed);
inline constexpr SettingKey RuleCHosts =
    textKey(section::Sites, "RuleCHosts", &S::ruleCHosts, "", TR::Trimmed);
inline constexpr SettingKey RuleDHosts =
    textKey(section::Sites, "RuleDHosts", &S::ruleDHosts, "", TR::Trimmed);

// How much a hostile or broken server or package may take before it is given up on.
inline constexpr SettingKey MaxPageMiB = intKey(section::Limits, "MaxPageMiB", &S::maxPageMiB, 32);
inline constexpr SettingKey LowSpeedBytes = intKey(section::Limits, "LowSpeedBytes", &S::lowSpeedBytes, 1024);
inline constexpr SettingKey LowSpeedSeconds =
    intKey(section::Limits, "LowSpeedSeconds", &S::lowSpeedSeconds, 30);
inline constexpr SettingKey MaxUnpackedMiB =
    intKey(section::Limits, "MaxUnpackedMiB", &S::maxUnpackedMiB, 1024);
inline constexpr SettingKey MaxUnpackRatio =
    intKey(section::Limits, "MaxUnpackRatio", &S::maxUnpackRatio, 100);

// The Wine program that reaches Total Commander's window; empty: found on the system.
inline constexpr SettingKey WineProgram = textKey(section::Wine, "Program", &S::wineProgram, "", TR::Trimmed);

inline constexpr SettingKey UserDbFormW = windowKey("UserDBForm_W", 406);
inline constexpr SettingKey UserDbFormH = windowKey("UserDBForm_H", 329);
inline constexpr SettingKey IpdFormW = windowKey("IPDForm_W", 474);
inline constexpr SettingKey IpdFormH = windowKey("IPDForm_H", 446);
inline constexpr SettingKey DownloadFormW = windowKey("DownloadForm_W", 400);
inline constexpr SettingKey DownloadFormH = windowKey("DownloadForm_H", 240);
} // namespace key

// Start-up reads in this order; the rules that derive values (download and temporary directory,
// proxy copy) run after the keys they depend on have been read.
inline constexpr auto kSettingsReadOrder = std::to_array<const SettingKey*>({
    &key::UseIniInTCDir,
    &key::CurrentLng,
    &key::TcDisabled,
    &key::TcDoNotAcceptBeta,
    &key::TcIntelliDetect,
    &key::TcDevCompareMethod,
    &key::TcDownloadPackage,
    &key::PlugDisabled,
    &key::PlugAutoHideInvalid,
    &key::PlugIntelliDetect,
    &key::PlugDisableExternal,
    &key::PlugDetectionMode,
    &key::PlugUpdateDateCheck,
    &key::PlugPubDateDiffCorr,
    &key::PlugManualFilePath,
    &key::PlugSecondaryPlgDir,
    &key::PlugForceSecondary,
    &key::PlugChecksumDbState,
    &key::PlugTreatDateAsVer,
    &key::PlugForceUseOfFn,
    &key::PlugOnlineNameCorr,
    &key::PlugVerCorrOnDateMatch,
    &key::PlugExcludeInstFiles,
    &key::TcExcludeInstFiles,
    &key::DatabaseEnabled,
    &key::DownloadDir,
    &key::HttpTimeOut,
    &key::ParallelDownloads,
    &key::ProxyEnabled,
    &key::ProxyType,
    &key::ProxyAddress,
    &key::ProxyPort,
    &key::ProxyUsername,
    &key::ProxyPassword,
    &key::SearchEngine,
    &key::OneTimeTempDirChange,
    &key::TempDirectory,
    &key::InstallAfterDl,
    &key::NoSelfUpdate,
    &key::ForceUseExtDb,
    &key::PreInstallAction,
    &key::VerifyAfterInstall,
    &key::PostInstallAction,
    &key::DownloadManagerCommand,
    &key::PrcMsgOnLoad,
    &key::ShowInfoBox,
    &key::ShowPlugIcons,
    &key::JumpToFirstUpd,
    &key::AllowResize,
    &key::ScrollOnUpdCheck,
    &key::ShowItemType,
    &key::AlwaysSavePos,
    &key::ShowMenuShortcuts,
    &key::ForceOriginalFont,
    &key::MainFormW,
    &key::MainFormH,
    &key::UpdateListW0,
    &key::UpdateListW1,
    &key::UpdateListW2,
    &key::UpdateListW3,
    &key::ChecksumMethod,
    &key::IgnoreUserDb,
    &key::IgnoreExceptionList,
    &key::OneTimeProxyDetect,
    &key::OneTimeUpdateQuestion,
    &key::OneTimeReloadQuestion,
    &key::RememberTcPackageSel,
    &key::MainFormL,
    &key::MainFormT,
    &key::SiteCatalogue,
    &key::SiteCatalogueRu,
    &key::SiteTotalCommander,
    &key::SiteForum,
    &key::SiteMirror,
    &key::RuleAHosts,
    &key::RuleBHosts,
    &key::RuleCHosts,
    &key::RuleDHosts,
    &key::MaxPageMiB,
    &key::LowSpeedBytes,
    &key::LowSpeedSeconds,
    &key::MaxUnpackedMiB,
    &key::MaxUnpackRatio,
    &key::WineProgram,
});

enum class WriteWhen : quint8 {
    Always,
    LanguageIsBuiltIn,   // not when the language came from the external file
    DetectionModeChosen, // only 0, 1 or 2 (a radio button is checked)
    SavingWindowPosition // Ctrl held at exit or AlwaysSavePos
};

struct SettingWriteStep {
    const SettingKey* key;
    WriteWhen when = WriteWhen::Always;
};

inline constexpr auto kSettingsWriteOrder = std::to_array<SettingWriteStep>({
    {&key::CurrentLng, WriteWhen::LanguageIsBuiltIn},
    {&key::UseIniInTCDir},
    {&key::DatabaseEnabled},
    {&key::DownloadDir},
    {&key::DlFileName},
    {&key::HttpTimeOut},
    {&key::ParallelDownloads},
    {&key::ProxyEnabled},
    {&key::ProxyType},
    {&key::ProxyAddress},
    {&key::ProxyPort},
    {&key::ProxyUsername},
    {&key::ProxyPassword},
    {&key::SearchEngine},
    {&key::TempDirectory},
    {&key::InstallAfterDl},
    {&key::NoSelfUpdate},
    {&key::ForceUseExtDb},
    {&key::PreInstallAction},
    {&key::VerifyAfterInstall},
    {&key::PostInstallAction},
    {&key::DownloadManagerCommand},
    {&key::TcDisabled},
    {&key::TcDoNotAcceptBeta},
    {&key::TcIntelliDetect},
    {&key::TcDevCompareMethod},
    {&key::TcDownloadPackage},
    {&key::TcExcludeInstFiles},
    {&key::PlugDisabled},
    {&key::PlugAutoHideInvalid},
    {&key::PlugIntelliDetect},
    {&key::PlugDisableExternal},
    {&key::PlugDetectionMode, WriteWhen::DetectionModeChosen},
    {&key::PlugUpdateDateCheck},
    {&key::PlugPubDateDiffCorr},
    {&key::PlugManualFilePath},
    {&key::PlugSecondaryPlgDir},
    {&key::PlugForceSecondary},
    {&key::PlugChecksumDbState},
    {&key::PlugTreatDateAsVer},
    {&key::PlugForceUseOfFn},
    {&key::PlugOnlineNameCorr},
    {&key::PlugVerCorrOnDateMatch},
    {&key::PlugExcludeInstFiles},
    {&key::PrcMsgOnLoad},
    {&key::ShowInfoBox},
    {&key::ShowPlugIcons},
    {&key::AllowResize},
    {&key::JumpToFirstUpd},
    {&key::ScrollOnUpdCheck},
    {&key::ShowItemType},
    {&key::AlwaysSavePos},
    {&key::ShowMenuShortcuts},
    {&key::ForceOriginalFont},
    {&key::MainFormW},
    {&key::MainFormH},
    {&key::MainFormL, WriteWhen::SavingWindowPosition},
    {&key::MainFormT, WriteWhen::SavingWindowPosition},
    {&key::UpdateListW0},
    {&key::UpdateListW1},
    {&key::UpdateListW2},
    {&key::UpdateListW3},
    {&key::ChecksumMethod},
    {&key::IgnoreUserDb},
    {&key::IgnoreExceptionList},
    {&key::OneTimeProxyDetect},
    {&key::OneTimeUpdateQuestion},
    {&key::OneTimeReloadQuestion},
    {&key::OneTimeTempDirChange},
    {&key::RememberTcPackageSel},
    {&key::SiteCatalogue},
    {&key::SiteCatalogueRu},
    {&key::SiteTotalCommander},
    {&key::SiteForum},
    {&key::SiteMirror},
    {&key::RuleAHosts},
    {&key::RuleBHosts},
    {&key::RuleCHosts},
    {&key::RuleDHosts},
    {&key::MaxPageMiB},
    {&key::LowSpeedBytes},
    {&key::LowSpeedSeconds},
    {&key::MaxUnpackedMiB},
    {&key::MaxUnpackRatio},
    {&key::WineProgram},
});

// Typed access to one key of a store. Missing keys and unreadable values give the default
// (the table's, or the one passed in).
bool ReadSettingBool(const IniDocument& store, const SettingKey& key);
int ReadSettingInt(const IniDocument& store, const SettingKey& key, int defaultValue);
int ReadSettingInt(const IniDocument& store, const SettingKey& key);
QString ReadSettingText(const IniDocument& store, const SettingKey& key, const QString& defaultValue);
QString ReadSettingText(const IniDocument& store, const SettingKey& key);
// Applies the key's text rule to a value (reading and writing clean up the same way).
QString CleanSettingText(const SettingKey& key, const QString& text);

void WriteSetting(IniDocument& store, const SettingKey& key, bool value);
void WriteSetting(IniDocument& store, const SettingKey& key, int value);
void WriteSetting(IniDocument& store, const SettingKey& key, const QString& value);

// The update list's default column widths for a list of the given width.
int DefaultColumnWidth(int listWidth, int column);

// The size a window keeps in the store between runs ({UserDbFormW, UserDbFormH}, ...).
struct WindowSizeKeys {
    const SettingKey& width;
    const SettingKey& height;
};
inline constexpr WindowSizeKeys kUserDbFormSize{key::UserDbFormW, key::UserDbFormH};
inline constexpr WindowSizeKeys kIpdFormSize{key::IpdFormW, key::IpdFormH};
inline constexpr WindowSizeKeys kDownloadFormSize{key::DownloadFormW, key::DownloadFormH};
std::pair<int, int> ReadWindowSize(const IniDocument& store, const WindowSizeKeys& keys);
void WriteWindowSize(IniDocument& store, const WindowSizeKeys& keys, int width, int height);

} // namespace quillon
