#include "inventory/item_identification.h"

#include <QFileInfo>

#include "app/command_line.h"
#include "app/common/own_version.h"
#include "app/common/pe_info.h"
#include "app/ini_document.h"
#include "app/settings_values.h"
#include "app/system.h"
#include "inventory/caption_index.h"
#include "inventory/installed_version.h"
#include "inventory/name_cleaning.h"
#include "inventory/text_version_scan.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

inline constexpr QLatin1StringView kOnlineName{"OnlineName"};

QString identity(const QString& text) {
    return text;
}

} // namespace

IdentificationOptions IdentificationOptions::from(const SettingValues& values,
                                                  const CommandLine& commandLine) {
    IdentificationOptions o;
    o.forceUseOfFn = values.plugForceUseOfFn;
    o.onlineNameCorr = values.plugOnlineNameCorr;
    o.checksumDbState = values.plugChecksumDbState;
    o.intelliDetect = values.plugIntelliDetect;
    o.treatDateAsVer = values.plugTreatDateAsVer;
    o.autoHideInvalid = values.plugAutoHideInvalid;
    o.prcMsgOnLoad = values.prcMsgOnLoad;
    o.detectionMode = values.plugDetectionMode;
    o.updateDateCheck = values.plugUpdateDateCheck;
    o.pubDateDiffCorr = values.plugPubDateDiffCorr;
    o.verCorrOnDateMatch = values.plugVerCorrOnDateMatch;
    o.databases.databaseEnabled = values.databaseEnabled;
    o.databases.ignoreUserDb = values.ignoreUserDb;
    o.safe = commandLine.safe();
    o.strictVer = commandLine.strictVer();
    return o;
}

PathForms PathForms::fromLocator(const TcLocator& locator, const System& system) {
    return {
        [&locator](const QString& p) { return locator.ConvertTCPathToEnvPath(p); },
        [&locator](const QString& p) { return locator.ConvertToEnvPath(p); },
        [&system](const QString& p) { return system.expandTcPath(p); },
    };
}

PathForms PathForms::unchanged() {
    return {identity, identity, identity};
}

ItemIdentifier::ItemIdentifier(UpdateList& list, IdentificationStores stores, IdentificationOptions options,
                               PathForms paths, QString ownExecutable)
    : m_list(list), m_stores(stores), m_options(options), m_paths(std::move(paths)),
      m_ownExecutable(std::move(ownExecutable)) {
    for (auto* form : {&m_paths.convertTcPathToEnvPath, &m_paths.convertToEnvPath, &m_paths.expand}) {
        if (!*form)
            *form = identity;
    }
}

void ItemIdentifier::usePassCaches(std::shared_ptr<const FileTreeListing> wholeTree) {
    m_textFiles = std::make_shared<TextFileSearchCache>();
    m_textFiles->offerTree(std::move(wholeTree));
    m_captions = std::make_shared<CaptionIndex>();
}

void ItemIdentifier::failRow(int row, const QString& path) {
    if (m_options.autoHideInvalid) {
        m_list.hideRow(row);
        return;
    }
    m_list.setName(row, fileStemOf(path));
    m_list.setInstalledVersion(row, QString(kNoVersion));
    m_list.setLatestVersion(row, QString(kNoVersion));
    m_list.setState(row, ItemState::Unknown);
}

int ItemIdentifier::GetPluginInformation(int group, const QString& path) {
    return GetPluginInformation(group, path, std::nullopt);
}

int ItemIdentifier::GetPluginInformation(int group, const QString& path,
                                         std::optional<ExecutableReading> reading) {
    const bool checksumRow = path.compare(kChecksumDbPath, Qt::CaseInsensitive) == 0;
    const bool databaseRow = path.compare(kPluginDbPath, Qt::CaseInsensitive) == 0;
    const bool scrollIntoView = m_options.prcMsgOnLoad || m_options.safe;
    const auto finish = [&](int row) {
        if (m_step)
            m_step(row, scrollIntoView);
        return row;
    };

    const std::optional<ItemGroup> itemGroup = groupFromId(group);
    // The program itself is no Windows executable where it runs natively; its version marker
    // admits it instead.
    const auto ownExecutableWithMarker = [&] {
        return !m_ownExecutable.isEmpty() &&
               QFileInfo(path).absoluteFilePath().compare(QFileInfo(m_ownExecutable).absoluteFilePath(),
                                                          Qt::CaseInsensitive) == 0 &&
               !ReadOwnVersionMarker(path).isEmpty();
    };
    if (!itemGroup || path.trimmed().isEmpty()) {
        m_list.hidePath(path);
        return finish(-1);
    }
    // One opening of the file answers whether it is an executable and what its version says.
    std::optional<ExecutableFacts> facts;
    if (!checksumRow && !databaseRow) {
        if (!reading)
            reading = ReadExecutable(path);
        if (!reading->isPeFile && !ownExecutableWithMarker()) {
            m_list.hidePath(path);
            return finish(-1);
        }
        facts = std::move(reading->facts);
    }

    const int row = m_list.addRow(QString(), QString(), path, *itemGroup);
    m_list.setLatestVersion(row, QString());

    const InstalledVersionFinder finder(m_stores, m_options, m_paths, m_ownExecutable, m_textFiles.get());
    const InstalledVersion found = finder.find(path, VersionPass::Identification, facts ? &*facts : nullptr);
    rememberVersionFile(m_stores, found);
    if (!found.error.isEmpty()) {
        failRow(row, path);
        return finish(m_options.autoHideInvalid ? -1 : row);
    }

    if (checksumRow) {
        m_list.setName(row, u"Checksum Database"_s);
    } else if (databaseRow) {
        m_list.setName(row, u"QN Plugin Database (IPD)"_s);
    } else {
        const QString versionPath = versionPathFor(path);
        CaptionInput caption;
        caption.path = path;
        caption.cleanedName = CleanItemName(found.productName, found.internalName, versionPath, path);
        caption.onlineName =
            m_stores.userPluginInfo.value(QFileInfo(versionPath).fileName(), QString(kOnlineName)).trimmed();
        caption.forceUseOfFn = m_options.forceUseOfFn;
        caption.onlineNameCorr = m_options.onlineNameCorr;
        caption.appendX64 = m_options.detectionMode == PluginDetection::PluginsDirectory;
        QList<CaptionedRow> others;
        if (m_captions) {
            const QString compared = comparedCaption(caption);
            if (!compared.isEmpty())
                others = m_captions->rowsLike(m_list, row, compared, path);
        } else {
            for (int r = 1; r < m_list.rowCount(); ++r) {
                if (r != row)
                    others.append({m_list.row(r).Name, m_list.row(r).FilePath});
            }
        }
        m_list.setName(row, ItemCaption(caption, others));
    }

    if (found.version.isEmpty() && m_options.autoHideInvalid) {
        m_list.hideRow(row);
        return finish(-1);
    }
    m_list.setInstalledVersion(row, found.version.isEmpty() ? QString(kNoVersion) : found.version);
    if (found.confirmed)
        m_list.setChecked(row, false);
    m_list.setLatestVersion(row, QString(kNoVersion));
    m_list.setState(row, ItemState::Unknown);
    return finish(row);
}

} // namespace quillon
