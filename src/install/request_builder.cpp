#include "install/request_builder.h"

#include <QFileInfo>

#include "app/common/checksums.h"
#include "app/common/files.h"
#include "app/common/urls.h"
#include "app/ini_document.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings_keys.h"
#include "app/settings_overrides.h"
#include "app/settings_values.h"
#include "inventory/update_list.h"
#include "updatecheck/online_list.h"
#include "updatecheck/online_match.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool isUnifiedLink(const QString& link) {
    return link.contains(u"x32_64"_s);
}

QString catalogueAddress(const QString& catalogueBase, const QString& websiteId, const QString& tag) {
    return catalogueBase + u"download.php?id="_s + websiteId + u"&pkg="_s + tag;
}

bool hasUsableSource(const QString& value) {
    return !value.isEmpty() && !value.startsWith(u'#');
}

QString withoutTrailingSeparator(QString directory) {
    directory = directory.trimmed();
    while (directory.size() > 1 && (directory.endsWith(u'/') || directory.endsWith(u'\\')))
        directory.chop(1);
    return directory.trimmed();
}

QString nameWithoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.left(dot) : name).trimmed();
}

} // namespace

PackageKind PackageKindOf(PackageChoice packageChoice) {
    switch (modeNumber(packageChoice)) {
    case 0:
    case 3264:
    case 6432:
    case 8664:
    case 6486:
        return PackageKind::Unified;
    case 1:
    case 32:
    case 86:
        return PackageKind::X86;
    case 2:
    case 64:
        return PackageKind::X64;
    default:
        return PackageKind::None;
    }
}

TcPackageLinks ClassifyTcPackageLinks(const QStringList& pageLinks) {
    TcPackageLinks links;
    for (const QString& link : pageLinks) {
        if (!link.contains(u".exe"_s))
            continue;
        if (isUnifiedLink(link))
            links.unified = link;
        else if (link.contains(u"x32"_s))
            links.x86 = link;
        else
            links.x64 = link;
    }
    return links;
}

static QString chosenLink(const TcPackageLinks& links, PackageChoice packageChoice) {
    QString link;
    switch (PackageKindOf(packageChoice)) {
    case PackageKind::Unified:
        link = links.unified;
        break;
    case PackageKind::X86:
        link = links.x86;
        break;
    case PackageKind::X64:
        link = links.x64;
        break;
    case PackageKind::None:
        break;
    }
    return IsValidUrl(link) ? link : QString();
}

QString TcPackageLinkForDownload(const TcPackageLinks& links, PackageChoice packageChoice, bool bitness64,
                                 const QString& catalogueBase, const QString& websiteId) {
    QString link = chosenLink(links, packageChoice);
    if (link.isEmpty())
        link = bitness64 ? links.x64 : links.x86;
    if (IsValidUrl(link))
        return link;
    return catalogueAddress(catalogueBase, websiteId, bitness64 ? u"x64"_s : u"x32"_s);
}

QString TcPackageLinkForExternal(const TcPackageLinks& links, PackageChoice packageChoice,
                                 const QString& catalogueBase, const QString& websiteId) {
    if (QString link = chosenLink(links, packageChoice); !link.isEmpty())
        return link;
    const bool tag64 = PackageKindOf(packageChoice) != PackageKind::Unified &&
                       PackageKindOf(packageChoice) != PackageKind::X86;
    if (IsValidUrl(links.unified))
        return links.unified;
    if (!tag64 && IsValidUrl(links.x86))
        return links.x86;
    if (tag64 && IsValidUrl(links.x64))
        return links.x64;
    return catalogueAddress(catalogueBase, websiteId, tag64 ? u"x64"_s : u"x32"_s);
}

QString TcPackagePage(const QString& tcSiteBase, const QString& announcedBetaPage, bool doNotAcceptBeta) {
    if (!announcedBetaPage.isEmpty() && !doNotAcceptBeta)
        return announcedBetaPage;
    return tcSiteBase + u"amazons3.php"_s;
}

QString PackageTag(const QString& name, const QString& extension, const QString& platform,
                   const QString& platform2) {
    const bool x64 = platform2 == "x64"_L1;
    if (name.compare("TOTALCMD64"_L1, Qt::CaseInsensitive) == 0)
        return x64 ? u"x64"_s : u"x32+x64"_s;
    if (!extension.endsWith(u"64"_s))
        return u"x32"_s;
    if (platform != "x32+x64"_L1 && !x64)
        return u"x32"_s;
    return x64 ? u"x64"_s : u"x32+x64"_s;
}

bool RequestContext::installAfterDl() const {
    return settings.installAfterDl || choices.installAfterDownload;
}

PackageChoice RequestContext::packageChoice() const {
    return choices.package ? choices.package->packageChoice : settings.tcDownloadPackage;
}

void ApplyRequestChoices(SettingValues& settings, const RequestChoices& choices) {
    if (choices.installQuestionAsked) {
        settings.oneTimeUpdateQuestion = true;
        if (choices.installAfterDownload)
            settings.installAfterDl = true;
    }
    if (choices.package) {
        settings.tcDownloadPackage = choices.package->packageChoice;
        if (choices.package->remember)
            settings.rememberTcPackageSel = true;
    }
}

std::optional<DownloadRequest> DownloadSetValues(RequestContext& context, bool internal,
                                                 const QString& forceItem, bool forceInstall, int row) {
    const bool forced = !forceItem.trimmed().isEmpty();
    if (!forced && !context.list.isValidRow(row))
        return std::nullopt;
    const UpdateItem* item = forced ? nullptr : &context.list.row(row);
    const QString itemText = forced ? forceItem.trimmed() : item->FilePath;
    const bool database = isDatabasePseudoPath(itemText);
    const bool tcRow = item && item->Group == ItemGroup::TC;
    const bool quillonGroup = database || (item && item->Group == ItemGroup::QN);

    DownloadRequest request;
    if (forceInstall) {
        request.InstallFlag = u"1"_s;
    } else if (item && item->Status.trimmed() == context.list.statusTexts().update.trimmed() &&
               context.installAfterDl() && !context.safeMode) {
        request.InstallFlag = u"1"_s;
    } else {
        request.InstallFlag = database && !forced ? u"1"_s : u"0"_s;
    }

    QString name;
    if (const QString rowName = item ? nameWithoutExtension(item->Name) : QString();
        !rowName.isEmpty() && HasValidFileNameChars(rowName))
        name = QString(rowName).replace(u' ', u'_').trimmed();
    else
        name = QString(itemText).replace(u' ', u'_').trimmed();
    const QString extension = FileExtensionOf(itemText).trimmed();

    QString websiteId =
        EntryLookup(context.userDb, context.pluginDb, context.switches, itemText, dbkey::WebsiteID);
    const QString directLink =
        EntryLookup(context.userDb, context.pluginDb, context.switches, itemText, dbkey::DirectLink);
    const QString authorUrl =
        EntryLookup(context.userDb, context.pluginDb, context.switches, itemText, dbkey::AuthorURL);

    const QString platform = IsPluginFoundOnline(context.online, itemText, OnlineField::Platform);
    const QString platform2 = IsPluginFoundOnline(context.online, itemText, OnlineField::Platform2);
    const QString tag = PackageTag(name, extension, platform, platform2);
    if (websiteId.isEmpty())
        websiteId = IsPluginFoundOnline(context.online, itemText, OnlineField::Identifier);
    if (tcRow)
        websiteId = QString(category::TotalCmd);

    if (!hasUsableSource(websiteId) && !hasUsableSource(directLink))
        return std::nullopt;

    const QString catalogue = context.settings.siteCatalogue;
    if (!directLink.isEmpty()) {
        request.Url = directLink;
    } else if (internal) {
        request.Url = catalogueAddress(catalogue, websiteId, tag) + u"&source=kwiloo"_s;
    } else if (!tcRow) {
        request.Url = catalogueAddress(catalogue, websiteId, tag);
    } else {
        const QString page = TcPackagePage(context.settings.siteTotalCommander, context.announcedBetaPage,
                                           context.settings.tcDoNotAcceptBeta);
        const QStringList links = context.pageLinks ? context.pageLinks(page) : QStringList();
        request.Url = TcPackageLinkForExternal(ClassifyTcPackageLinks(links), context.packageChoice(),
                                               catalogue, websiteId);
    }

    if (database) {
        request.LocalArchive = u"database.dat"_s;
        request.Category = QString(category::PluginDb);
    } else {
        request.LocalArchive = withoutTrailingSeparator(context.downloadDir) + u'/' + extension.toLower() +
                               u'_' + name + u".zip"_s;
        if (tcRow) {
            request.Category = QString(category::TotalCmd);
            const bool remembered = context.settings.rememberTcPackageSel ||
                                    (context.choices.package && context.choices.package->remember);
            if (!remembered && context.choosePackage) {
                const auto selection = context.choosePackage();
                // Cancelled: the user wants no package of Total Commander now.
                if (!selection)
                    return std::nullopt;
                context.choices.package = selection;
            }
        } else if (QFileInfo(itemText).fileName().compare("Quillon.exe"_L1, Qt::CaseInsensitive) == 0 ||
                   quillonGroup) {
            request.Category = QString(category::Quillon);
        } else {
            request.Category = RequestCategoryOf(itemText);
        }
    }
    request.AuthorUrl = authorUrl;
    request.ItemPath = itemText;
    return request;
}

DownloadRequestList StartDownloadProcess(RequestContext& context, Prompter& prompter,
                                         const Language& language, const QString& applicationTitle,
                                         bool internal, const QString& forceItem, bool forceInstall,
                                         const QList<int>& selectedRows, bool takeMarkedRows) {
    if (context.askInstallQuestion && !context.settings.oneTimeUpdateQuestion &&
        !context.choices.installQuestionAsked) {
        const QString caption = applicationTitle + u" - "_s +
                                language.text(u"ErrorMessages"_s, u"CaptionInfo"_s, u"Information"_s);
        const QString text =
            language.text(
                u"CaptionsDownload"_s, u"UpdateQuestion"_s,
                u"From now on Quillon is capable of updating your plugins after downloading them."_s) +
            u"\n\n"_s +
            language.text(u"CaptionsDownload"_s, u"UpdateQuestionL1"_s,
                          u"Would you like to turn this new function on?"_s) +
            u"\n\n"_s +
            language.text(
                u"CaptionsDownload"_s, u"UpdateQuestionL2"_s,
                u"Note: You can turn this off anytime on the bottom of the Configuration tab later."_s);
        context.choices.installAfterDownload =
            prompter.ask(PromptIcon::Question, PromptButtons::YesNo, caption, text) == PromptAnswer::Yes;
        context.choices.installQuestionAsked = true;
    }

    DownloadRequestList requests;
    auto add = [&](const QString& item, int row) {
        if (auto request = DownloadSetValues(context, internal, item, forceInstall, row))
            requests.append(*request);
    };
    if (!forceItem.trimmed().isEmpty()) {
        add(forceItem, 0);
        return requests;
    }
    const UpdateList& list = context.list;
    for (int row = 0; row < list.rowCount(); ++row) {
        const bool taken = takeMarkedRows ? list.row(row).Checked : selectedRows.contains(row);
        if (taken)
            add(QString(), row);
    }
    return requests;
}

QStringList ExternalManagerLinks(const DownloadRequestList& requests) {
    QStringList links;
    for (const DownloadRequest& request : requests) {
        if (IsValidUrl(request.Url) && request.Category != category::PluginDb)
            links.append(request.Url);
    }
    return links;
}

int ConfirmUpdatableAsLatest(ConfirmContext& context, Prompter& prompter, const Language& language) {
    UpdateList& list = context.list;
    const StatusTexts& texts = list.statusTexts();
    QList<int> marked;
    int updatable = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.row(row).Status.trimmed() != texts.update.trimmed())
            continue;
        ++updatable;
        if (list.row(row).Checked)
            marked.append(row);
    }
    if (marked.isEmpty())
        return 0;

    const QString caption = language.text(u"ErrorMessages"_s, u"CaptionInfo"_s, u"Information"_s);
    Placeholders count;
    count.s = QString::number(marked.size()) + u'/' + QString::number(updatable);
    Placeholders ok;
    ok.s = texts.ok;
    const QString text =
        language.format(
            u"ErrorMessages"_s, u"MarkItemLatest_Caption"_s,
            u"Are you sure you would like to confirm the marked updatable items (%s) as latest?"_s, count) +
        u"\n\n"_s +
        language.format(
            u"ErrorMessages"_s, u"MarkItemLatest_L1"_s,
            u"By pressing \"Yes\", these items will be showed in the list as \"%s\", until new versions "
            "of the selected plugins / addons are released."_s,
            ok);
    if (prompter.ask(PromptIcon::Question, PromptButtons::YesNo, caption, text) != PromptAnswer::Yes)
        return 0;

    const QString tcExeName = QFileInfo(context.tcExecutable).fileName();
    VersionOverrides overrides(context.settingsStore);
    int confirmed = 0;
    for (const int row : marked) {
        const UpdateItem item = list.row(row);
        const QFileInfo file(item.FilePath);
        const QString fileName = file.fileName();
        if (!file.isFile() || fileName.compare("TOTALCMD.EXE"_L1, Qt::CaseInsensitive) == 0 ||
            fileName.compare("TOTALCMD64.EXE"_L1, Qt::CaseInsensitive) == 0 ||
            (!tcExeName.isEmpty() && fileName.compare(tcExeName, Qt::CaseInsensitive) == 0))
            continue;
        const std::optional<quint32> crc = FileCrc32(item.FilePath);
        if (!crc)
            continue;
        const QString envPath = context.toEnvPath ? context.toEnvPath(item.FilePath) : item.FilePath;
        if (item.FilePath.compare(context.ownExecutable, Qt::CaseInsensitive) != 0)
            overrides.set(envPath, *crc, item.LatestVersion);
        QString stored = StoredOverride(context.settingsStore, envPath);
        if (stored.isEmpty())
            stored = StoredOverride(context.settingsStore, item.FilePath);
        const qsizetype bar = stored.indexOf(u'|');
        if (bar < 0)
            continue;
        const QString crcText = stored.left(bar).trimmed();
        const bool crcMatches =
            crcText == QString::number(*crc) ||
            crcText.compare(u"%1"_s.arg(*crc, 8, 16, QLatin1Char('0')), Qt::CaseInsensitive) == 0;
        if (!crcMatches || stored.mid(bar + 1) != item.LatestVersion)
            continue;
        list.setInstalledVersion(row, item.LatestVersion);
        list.setState(row, ItemState::Ok);
        list.setChecked(row, false);
        ++confirmed;
    }
    return confirmed;
}

} // namespace quillon
