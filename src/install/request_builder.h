#pragma once
// Turns rows of the update list into download requests: which rows, the install flag, the
// link (direct, "$" mirror number, catalogue address, Total Commander package), the local
// archive and the kind of package. Also the confirmation of updatable rows as latest.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "app/prompter.h"
#include "app/setting_modes.h"
#include "install/download_request.h"
#include "inventory/plugin_database.h"

namespace quillon {

class IniDocument;
class Language;
class OnlineList;
class Prompter;
class UpdateList;
struct SettingValues;

// Which Total Commander package `PackageChoice` (Total Commander/DownloadPackage) selects.
enum class PackageKind { None, Unified, X86, X64 };
PackageKind PackageKindOf(PackageChoice packageChoice);

// The ".exe" links of Total Commander's download page by kind; a later link of a kind
// replaces an earlier one.
struct TcPackageLinks {
    QString unified; // "x32_64"
    QString x86;     // "x32"
    QString x64;     // any other ".exe"
};
TcPackageLinks ClassifyTcPackageLinks(const QStringList& pageLinks);

// The package link as the download window takes it: the chosen kind when valid, else by
// bitness, else the catalogue address with "x32"/"x64".
QString TcPackageLinkForDownload(const TcPackageLinks& links, PackageChoice packageChoice, bool bitness64,
                                 const QString& catalogueBase, const QString& websiteId);
// As the external download manager takes it (its own fallback order).
QString TcPackageLinkForExternal(const TcPackageLinks& links, PackageChoice packageChoice,
                                 const QString& catalogueBase, const QString& websiteId);
// The page the links are read from: the announced beta page when one was found and betas are
// accepted, else "amazons3.php" on Total Commander's site.
QString TcPackagePage(const QString& tcSiteBase, const QString& announcedBetaPage, bool doNotAcceptBeta);

// "x32", "x64" or "x32+x64" for a catalogue address.
QString PackageTag(const QString& name, const QString& extension, const QString& platform,
                   const QString& platform2);

// What the user chose while requests were built: the builder reads its own choices back, and
// the owner keeps them in the settings (ApplyRequestChoices) or, for a preview, drops them.
struct RequestChoices {
    bool installQuestionAsked = false;
    bool installAfterDownload = false;       // the one-time question was answered yes
    std::optional<PackageSelection> package; // the package selector's answer
};

void ApplyRequestChoices(SettingValues& settings, const RequestChoices& choices);

struct RequestContext {
    const UpdateList& list;
    const IniDocument& userDb;
    const IniDocument& pluginDb;
    DatabaseSwitches switches;
    const OnlineList& online;
    const SettingValues& settings; // OneTimeUpdateQuestion, InstallAfterDL, DownloadPackage, ...
    QString downloadDir;           // expanded host path
    bool safeMode = false;         // started with the switch "safe"
    QString announcedBetaPage;     // release lookup: the beta's download page, empty for none
    // All link targets of a page (GetPageLinks); empty when it cannot be read.
    std::function<QStringList(const QString& pageUrl)> pageLinks;
    // The package selector window; nothing when it was closed without OK.
    std::function<std::optional<PackageSelection>()> choosePackage;
    // Whether StartDownloadProcess may ask the one-time install question (its answer goes into
    // choices); a front end without the question leaves the choice alone.
    bool askInstallQuestion = true;
    RequestChoices choices = {};

    // The settings as the choices made so far change them.
    bool installAfterDl() const;
    PackageChoice packageChoice() const;
};

// One request for row `row` (or for forceItem when not empty); nothing when the item has no
// source.
std::optional<DownloadRequest> DownloadSetValues(RequestContext& context, bool internal,
                                                 const QString& forceItem, bool forceInstall, int row);

// Which rows are taken: the forced item alone; else the marked rows when takeMarkedRows,
// else the selected ones. Asks the one-time install question first.
DownloadRequestList StartDownloadProcess(RequestContext& context, Prompter& prompter,
                                         const Language& language, const QString& applicationTitle,
                                         bool internal, const QString& forceItem, bool forceInstall,
                                         const QList<int>& selectedRows, bool takeMarkedRows);

// The links handed to an external download manager: valid ones, never a database download.
QStringList ExternalManagerLinks(const DownloadRequestList& requests);

// Confirms the marked updatable rows as latest: asks, writes their version overrides keyed by
// toEnvPath(FilePath) and sets them "OK.". Returns the number of rows confirmed.
struct ConfirmContext {
    UpdateList& list;
    IniDocument& settingsStore;
    QString ownExecutable;
    QString tcExecutable;
    std::function<QString(const QString&)> toEnvPath; // ConvertTCPathToEnvPath
};
int ConfirmUpdatableAsLatest(ConfirmContext& context, Prompter& prompter, const Language& language);

} // namespace quillon
