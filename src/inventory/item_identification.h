#pragma once
// Item identification: one file found by the inventory pass becomes one row of the update list,
// named from its version information and carrying its installed version. The row refresh
// determines the installed version of an existing row again and re-evaluates its state.
#include <QString>

#include "app/common/pe_info.h"
#include "app/setting_modes.h"

#include <functional>
#include <memory>
#include <optional>

#include "inventory/plugin_database.h"

namespace quillon {

class CaptionIndex;
class CommandLine;
class FileTreeListing;
class IniDocument;
class System;
class TextFileSearchCache;
class TcLocator;
class UpdateList;
struct SettingValues;

// The settings and command-line switches identification and refresh read.
struct IdentificationOptions {
    bool forceUseOfFn = false;  // Plugins/ForceUseOfFN
    bool onlineNameCorr = true; // Plugins/OnlineNameCorr
    ChecksumDbUse checksumDbState = ChecksumDbUse::First;
    bool intelliDetect = true;   // Plugins/IntelliDetect: versions from text files
    bool treatDateAsVer = true;  // Plugins/TreatDateAsVer
    bool autoHideInvalid = true; // Plugins/AutoHideInvalid
    bool prcMsgOnLoad = false;   // GUI/PrcMsgOnLoad
    PluginDetection detectionMode = PluginDetection::ConfigFile; // PluginsDirectory appends " (x64)"
    bool updateDateCheck = true;                                 // Plugins/UpdateDateCheck
    int pubDateDiffCorr = 1;                                     // Plugins/PubDateDiffCorr
    bool verCorrOnDateMatch = true;                              // Plugins/VerCorrOnDateMatch
    DatabaseSwitches databases;
    bool safe = false;      // switch "safe": no text-file detection
    bool strictVer = false; // switch "strictver": like TreatDateAsVer

    static IdentificationOptions from(const SettingValues& values, const CommandLine& commandLine);
};

// The stores identification reads and the two it writes (per-file memory, settings overrides).
struct IdentificationStores {
    const IniDocument& pluginDb;
    const IniDocument& userDb;
    const IniDocument& checksumDb;
    IniDocument& userPluginInfo; // upluginfo.ini: OnlineName read, VersionFile written
    IniDocument& settings;       // section OverridePlugVer read and written
};

// Total Commander's path forms: stored keys use "%COMMANDER_PATH%" and friends.
struct PathForms {
    // Inside Total Commander's directory: that directory as "%COMMANDER_PATH%".
    std::function<QString(const QString&)> convertTcPathToEnvPath;
    // Every COMMANDER_* variable written in.
    std::function<QString(const QString&)> convertToEnvPath;
    // Variables of Total Commander's world expanded; a Windows result mapped to a host path.
    std::function<QString(const QString&)> expand;

    static PathForms fromLocator(const TcLocator& locator, const System& system);
    // Paths left as they are (no Total Commander known).
    static PathForms unchanged();
};

class ItemIdentifier {
public:
    ItemIdentifier(UpdateList& list, IdentificationStores stores, IdentificationOptions options,
                   PathForms paths, QString ownExecutable);

    // Called once per identification, after the row was made, kept or hidden: row is the new
    // row, or -1 when none was kept. scrollIntoView: PrcMsgOnLoad or "safe" asks the view to show
    // the row and process pending events. The progress bar of a front end hangs here.
    using StepCallback = std::function<void(int row, bool scrollIntoView)>;
    void setStepCallback(StepCallback callback) { m_step = std::move(callback); }

    // The catalogue's publication date of an item ("dd.mm.yyyy" or any date text), for the
    // release-date check of the refresh; empty when unknown. The update check supplies it.
    using PublicationDateLookup = std::function<QString(const QString& filePath)>;
    void setPublicationDateLookup(PublicationDateLookup lookup) { m_publicationDate = std::move(lookup); }

    // Adds the row for path (a file, or "tcplugindb"/"checksumdb") to group 1..6. Returns the
    // row index, or -1 when no row was kept (the path then is in the hidden-item list).
    int GetPluginInformation(int group, const QString& path);
    // The same with the file's reading done already (by a read-ahead); none reads it here.
    int GetPluginInformation(int group, const QString& path, std::optional<ExecutableReading> reading);

    // Determines the installed version of the row again and re-evaluates its state. path is the
    // row's path; installedFilePath the file a download installed (empty for "Refresh Item").
    // delay shows "..." first; the wait belongs to the view. False when row is no valid row.
    bool RefreshPluginInfo(const QString& path, int row, const QString& installedFilePath, bool delay);

    const IdentificationOptions& options() const { return m_options; }

    // For an identifier that serves one inventory pass and no longer: text files are searched in
    // directory trees read once, and captions compared through an index. Neither sees a file
    // written or a row renamed afterwards, which nothing does during the pass.
    // wholeTree: a listing of Total Commander's tree the pass read already, or none.
    void usePassCaches(std::shared_ptr<const FileTreeListing> wholeTree = {});

private:
    // The failure rule: the row goes (AutoHideInvalid) or shows the file name and "-".
    void failRow(int row, const QString& path);

    UpdateList& m_list;
    IdentificationStores m_stores;
    IdentificationOptions m_options;
    PathForms m_paths;
    QString m_ownExecutable;
    StepCallback m_step;
    PublicationDateLookup m_publicationDate;
    std::shared_ptr<TextFileSearchCache> m_textFiles;
    std::shared_ptr<CaptionIndex> m_captions;
};

} // namespace quillon
