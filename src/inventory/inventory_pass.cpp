#include "inventory/inventory_pass.h"

#include <QDir>
#include <QFileInfo>

#include "app/command_line.h"
#include "app/common/files.h"
#include "app/ini_document.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings_values.h"
#include "app/system.h"
#include "inventory/addon_search.h"
#include "inventory/exclusion_filter.h"
#include "inventory/plugin_sections.h"
#include "inventory/tc_version_row.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"
#include "tcdetect/tc_version.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

inline constexpr QLatin1StringView kCrLf{"\r\n"};

bool isFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void sortAndDeduplicate(GroupFileList& list) {
    list.sortByLine();
    list.removeDuplicatePaths();
}

} // namespace

QString InventoryPass::text(const char* section, const char* key, const char* englishDefault) const {
    return m_c.language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                             QString::fromLatin1(englishDefault));
}

QString InventoryPass::configurationPath() const {
    // A manual list file replaces the plugin sections, not wincmd.ini: the pass still needs
    // the real configuration file, and the question about a missing list file offers it.
    if (m_c.settings.plugDetectionMode == PluginDetection::PluginsDirectory && !m_c.tcIniFile.isEmpty())
        return m_c.tcIniFile;
    if (!m_c.commandLineIniFile.isEmpty() && isFile(m_c.commandLineIniFile))
        return m_c.commandLineIniFile;
    return m_c.locator.GetTCIniPath();
}

QString InventoryPass::manualListPath() const {
    QString path = resolveTcPath(m_c.system, m_c.settings.plugManualFilePath, m_c.programDir);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += ".ini"_L1;
    return path;
}

void InventoryPass::reportTcNotFound() {
    m_result.showConfiguration = true;
    if (m_tcErrorShown)
        return;
    m_tcErrorShown = true;
    QString caption = text("ErrorMessages", "TCError", "Total Commander isn't running!");
    QString message = text("ErrorMessages", "TCErrorNotFound",
                           "Total Commander can't be found. Incorrect wincmd.ini path?");
    // Under Wine, a prefix without Total Commander is the likely cause: name the prefix searched,
    // and where another one is chosen.
    // Nothing of Total Commander there: no directory, not even the folder of its wincmd.ini.
    const QString prefix = QString::fromStdString(m_c.system.platform().winePrefix());
    const QString configDir =
        m_result.configFile.isEmpty() ? QString() : QFileInfo(m_result.configFile).absolutePath();
    if (!prefix.isEmpty() && m_c.tcDir.isEmpty() && (configDir.isEmpty() || !QFileInfo(configDir).isDir())) {
        caption = text("ErrorMessages", "TCNotFoundInPrefixCaption", "Total Commander not found");
        message = m_c.language.format(
            u"ErrorMessages"_s, u"TCNotFoundInPrefix"_s,
            u"Total Commander was not found in the Wine prefix %s. Choose another prefix on the Configuration page."_s,
            {QDir::toNativeSeparators(prefix), {}, {}});
    }
    m_c.prompter.tell(PromptIcon::Error, caption, message);
    m_result.errors.append(caption.trimmed() + ": "_L1 + message.trimmed());
}

InventoryPassResult InventoryPass::run() {
    m_result = {};
    m_tcErrorShown = false;
    UpdateList& list = m_c.list;
    list.resetForPass();

    // Steps 2-4: the configuration file.
    const QString configFile = configurationPath();
    m_c.tcIniFile = configFile;
    m_result.configFile = configFile;
    if (m_c.settings.plugManualFilePath.trimmed().isEmpty())
        m_c.settings.plugManualFilePath = configFile;
    m_result.autoDetectCaption = m_c.language.format(
        u"CaptionsMainFrm"_s, u"Config_DetectionMode1"_s,
        u"Detect the installed plugins automatically based on %s"_s,
        {QFileInfo(configFile).fileName().isEmpty() ? u"wincmd.ini"_s : QFileInfo(configFile).fileName(),
         {},
         {}});

    // Step 6: without wincmd.ini nothing is listed, not even Quillon's own group.
    if (!isFile(configFile)) {
        reportTcNotFound();
        list.takeSnapshot();
        return m_result;
    }
    m_result.configFound = true;

    // Step 10: Quillon's own group.
    if (!m_c.settings.noSelfUpdate) {
        GroupFileList& own = list.groupLists().list(ItemGroup::QN);
        own.append(m_c.programPath);
        own.append(QString(kPluginDbPath));
        own.append(QString(kChecksumDbPath));
    }

    m_readAhead = std::make_unique<ExecutableReadAhead>();
    collectPlugins(configFile);
    queueForReading();
    collectAddons();
    addTotalCommanderRow();
    identifyEntries();
    m_readAhead.reset();
    if (m_cancel.isCancelled()) {
        m_result.cancelled = true;
        return m_result;
    }

    // Step 15.
    list.finishPass();
    m_result.progressMaximum = list.groupLists().totalCount() + (m_result.tcRow ? 1 : 0);
    // Step 16.
    list.takeSnapshot();
    return m_result;
}

void InventoryPass::collectPlugins(const QString& configFile) {
    // Step 7: a manual list file, and what to do when it is missing.
    QString listFile = configFile;
    if (m_c.settings.plugDetectionMode == PluginDetection::ManualFile) {
        const QString manual = manualListPath();
        if (isFile(manual)) {
            listFile = manual;
            m_result.manualList = true;
        } else {
            const QString caption = text("ErrorMessages", "ConfNotFound_Caption", "Error: File not found");
            const QString message =
                m_c.language.format(
                    u"ErrorMessages"_s, u"ConfNotFound_L1"_s,
                    u"The manually given file which should contain the list of plugins (%s) "
                    "can't be found."_s,
                    {QDir::toNativeSeparators(manual.isEmpty() ? m_c.settings.plugManualFilePath : manual),
                     {},
                     {}}) +
                kCrLf + kCrLf +
                text("ErrorMessages", "ConfNotFound_L2", "Would you like to check & correct the path?") +
                kCrLf +
                m_c.language.format(u"ErrorMessages"_s, u"ConfNotFound_L3"_s,
                                    u"If you choose \"No\", %s file will be used."_s,
                                    {QFileInfo(configFile).fileName(), {}, {}});
            if (m_c.prompter.ask(PromptIcon::Warning, PromptButtons::YesNo, caption, message) ==
                PromptAnswer::Yes) {
                m_result.showConfiguration = true;
                m_result.focusManualFile = true;
            } else {
                m_c.settings.plugDetectionMode = PluginDetection::ConfigFile;
            }
        }
    }
    m_result.listFile = listFile;

    // Steps 8-9.
    const QString basePath = m_result.manualList ? listFile : configFile;
    const PluginSections sections(m_c.system, listFile, basePath, configFile, m_c.tcDir);
    m_result.pluginsDir = sections.pluginsDirectory();

    // Step 11.
    if (m_c.settings.plugDisabled)
        return;
    const ExclusionFilter exclusions =
        m_c.settings.ignoreExceptionList
            ? ExclusionFilter({}, {}, {})
            : ExclusionFilter(
                  m_c.exceptionList,
                  [this](const QString& line) { return resolveTcPath(m_c.system, line, m_c.tcDir); },
                  m_c.tcDir);
    const PluginDetection mode = m_c.settings.plugDetectionMode;
    for (const PluginSection section : kPluginSections) {
        QStringList files;
        if (m_result.manualList || mode == PluginDetection::ConfigFile)
            files = sections.pluginFiles(section);
        else if (mode == PluginDetection::PluginsDirectory && !m_result.pluginsDir.isEmpty())
            FindFilesRecursive(m_result.pluginsDir, pluginSectionMask(section), true, files);
        GroupFileList& groupList = m_c.list.groupLists().list(pluginSectionGroup(section));
        for (const QString& file : std::as_const(files))
            groupList.append(file);
        sortAndDeduplicate(groupList);
        exclusions.apply(groupList);
    }
}

void InventoryPass::collectAddons() {
    // Step 12.
    if (m_c.settings.plugDisabled || m_c.settings.plugDisableExternal || m_c.commandLine.safe())
        return;
    AddonSearchInput input;
    input.tcDir = m_c.tcDir;
    input.windowsDir = m_c.system.windowsDirectory();
    input.pluginsDir = m_result.pluginsDir;
    input.secondaryDir = resolveTcPath(m_c.system, m_c.settings.plugSecondaryPlgDir, m_c.tcDir);
    input.forceSecondary = m_c.settings.plugForceSecondary;

    GroupFileList& others = m_c.list.groupLists().list(ItemGroup::Oth);
    const QStringList found = FindAddonFiles(input, &m_tcTree);
    // Their reading starts now rather than after the filters below: the reading of a file they
    // leave out is wasted, the wait for them would be longer.
    m_readAhead->add(found);
    for (const QString& file : found)
        others.append(file);
    sortAndDeduplicate(others);
    if (!m_c.settings.ignoreExceptionList) {
        const ExclusionFilter exclusions(
            m_c.exceptionList,
            [this](const QString& line) { return resolveTcPath(m_c.system, line, m_c.tcDir); }, m_c.tcDir);
        exclusions.apply(others);
    }
    const QString own = ExclusionFilter::comparable(m_c.programPath);
    const QString ownName = QFileInfo(own).fileName();
    for (int k = others.count() - 1; k >= 0; --k) {
        const QString& path = others.at(k).filePath;
        const QString name = QFileInfo(path).fileName();
        // The whole path is compared only where the name is the program's own.
        if (IsInstallerOrHelper(name) ||
            (name.toLower() == ownName && ExclusionFilter::comparable(path) == own))
            others.removeAt(k);
    }
}

void InventoryPass::addTotalCommanderRow() {
    // Step 13.
    if (m_c.settings.tcDisabled)
        return;
    if (!isFile(m_c.tcExeFile))
        m_c.tcExeFile = m_c.locator.GetTCExePath();
    if (!isFile(m_c.tcExeFile)) {
        reportTcNotFound();
        return;
    }
    const TcVersionDetector detector(m_c.system, m_c.locator, m_c.stores.checksumDb,
                                     {m_c.settings.tcIntelliDetect, m_c.settings.plugChecksumDbState});
    const TcVersionFacts facts = detector.detect(m_c.tcExeFile, m_c.tcDir);
    m_c.tcExeFile = facts.exeFile;
    m_c.tcWindowTitle = facts.windowTitle;
    ApplyTcVersionRow(m_c.list, facts, true);
    m_result.tcRow = true;
}

void InventoryPass::identifyEntries() {
    // Step 14: sort keys, then one identification per entry in list order.
    GroupFileLists& lists = m_c.list.groupLists();
    for (int g = static_cast<int>(ItemGroup::Wcx); g <= static_cast<int>(ItemGroup::QN); ++g) {
        const ItemGroup group = static_cast<ItemGroup>(g);
        GroupFileList& groupList = lists.list(group);
        for (int k = 0; k < groupList.count(); ++k) {
            const QString fileName = QFileInfo(groupList.at(k).filePath).fileName();
            QString key = fileName;
            if (group != ItemGroup::QN)
                key = m_c.stores.userPluginInfo.value(fileName, u"OnlineName"_s, fileName);
            groupList.setSortKey(k, key.trimmed());
        }
        if (group != ItemGroup::QN)
            groupList.sortByLine();
    }

    ItemIdentifier identifier(m_c.list, m_c.stores,
                              IdentificationOptions::from(m_c.settings, m_c.commandLine),
                              PathForms::fromLocator(m_c.locator, m_c.system), m_c.programPath);
    identifier.usePassCaches(std::move(m_tcTree));
    if (m_step)
        identifier.setStepCallback(m_step);
    // The files are read in the order they are identified in now.
    queueForReading();
    for (int g = static_cast<int>(ItemGroup::Wcx); g <= static_cast<int>(ItemGroup::QN); ++g) {
        const GroupFileList& groupList = lists.list(static_cast<ItemGroup>(g));
        // Identification only appends rows; the lists stay as they are until the pass ends.
        const QStringList paths = groupList.filePaths();
        for (const QString& path : paths) {
            if (m_cancel.isCancelled())
                return;
            identifier.GetPluginInformation(g, path, m_readAhead->take(path));
        }
    }
}

void InventoryPass::queueForReading() {
    const GroupFileLists& lists = m_c.list.groupLists();
    for (int g = static_cast<int>(ItemGroup::Wcx); g <= static_cast<int>(ItemGroup::QN); ++g)
        m_readAhead->add(lists.list(static_cast<ItemGroup>(g)).filePaths());
}

} // namespace quillon
