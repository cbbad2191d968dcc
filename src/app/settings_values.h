#pragma once
// Every value of the settings file that the program keeps in memory, one named field per key.
// The key table (settings_keys.h) says where each field lives in the file and what its default
// is; nothing else in the program spells a key. The zero values here are placeholders: the
// defaults are the table's (Settings applies them when it is constructed).
#include <QString>

#include "app/setting_modes.h"

namespace quillon {

struct SettingValues {
    // [Configuration]
    QString useIniInTcDir; // kept as read, decides where the file lives
    bool databaseEnabled = false;
    QString downloadDir; // unexpanded, trailing "/" once the start-up rule ran
    int httpTimeOut = 0;
    int parallelDownloads = 0; // transfers at once; 1: one after the other
    bool proxyEnabled = false;
    QString proxyType;
    QString proxyAddress;
    QString proxyPort;
    QString proxyUsername;
    QString proxyPassword;
    QString searchEngine;
    QString tempDirectory; // unexpanded, trailing separator
    bool installAfterDl = false;
    bool noSelfUpdate = false;
    bool forceUseExtDb = false;
    BackupBeforeInstall preInstallAction = BackupBeforeInstall::Every; // nothing lost by default
    AfterInstall postInstallAction = AfterInstall::Nothing;
    bool verifyAfterInstall = true; // a replaced plugin that no longer loads is put back
    // The command that hands one link to a download manager, the link added as its last
    // argument; empty: a manager found in the prefix or on the system.
    QString downloadManagerCommand;

    // [Language]
    QString currentLng; // upper-case short name, empty for the user's default

    // [Total Commander]
    bool tcDisabled = false;
    bool tcDoNotAcceptBeta = false;
    bool tcIntelliDetect = false;
    bool tcDevCompareMethod = false;
    PackageChoice tcDownloadPackage = PackageChoice::Unified;
    QString tcExcludeInstFiles;

    // [Plugins]
    bool plugDisabled = false;
    bool plugAutoHideInvalid = false;
    bool plugIntelliDetect = false;
    bool plugDisableExternal = false;
    PluginDetection plugDetectionMode = PluginDetection::ConfigFile;
    bool plugUpdateDateCheck = false;
    int plugPubDateDiffCorr = 0;
    QString plugManualFilePath;
    QString plugSecondaryPlgDir;
    bool plugForceSecondary = false;
    ChecksumDbUse plugChecksumDbState = ChecksumDbUse::First;
    bool plugTreatDateAsVer = false;
    bool plugForceUseOfFn = false;
    bool plugOnlineNameCorr = false;
    bool plugVerCorrOnDateMatch = false;
    QString plugExcludeInstFiles;

    // [GUI]
    bool prcMsgOnLoad = false;
    bool showInfoBox = false;
    bool showPlugIcons = false;
    bool jumpToFirstUpd = false;
    bool allowResize = false;
    bool scrollOnUpdCheck = false;
    int showItemType = 0; // 0 all, 1 updatable only, 2 unknown only
    bool alwaysSavePos = false;
    bool showMenuShortcuts = false;
    bool forceOriginalFont = false;
    int mainFormW = 0;
    int mainFormH = 0;
    int mainFormL = 0; // -1: no saved position
    int mainFormT = 0;
    int updateListW0 = 0;
    int updateListW1 = 0;
    int updateListW2 = 0;
    int updateListW3 = 0;

    // [AddonInfo], [UserDB]
    int checksumMethod = 0;
    bool ignoreUserDb = false;
    bool ignoreExceptionList = false;

    // [Additional]: one-time flags and remembered choices
    bool oneTimeTempDirChange = false;
    bool oneTimeProxyDetect = false;
    bool oneTimeUpdateQuestion = false;
    bool oneTimeReloadQuestion = false;
    bool rememberTcPackageSel = false;

    // [Sites]: every base address ends in "/"
    QString siteCatalogue;
    QString siteCatalogueRu;
    QString siteTotalCommander;
    QString siteForum;
    QString siteMirror;
    QString ruleAHosts; // comma-separated host names
    QString ruleBHosts;
    QString ruleCHosts;
    QString ruleDHosts;

    // [Limits]: 0 or less switches a limit off
    int maxPageMiB = 0;      // a web page larger than this is refused
    int lowSpeedBytes = 0;   // a download slower than this many bytes a second ...
    int lowSpeedSeconds = 0; // ... for this long is given up
    int maxUnpackedMiB = 0;  // a package that unpacks to more is refused
    int maxUnpackRatio = 0;  // ... and one that unpacks to more than this many times its size

    // [Wine]: the program that runs the bridge to Total Commander's window (Linux); empty: found
    // on the system
    QString wineProgram;
};

} // namespace quillon
