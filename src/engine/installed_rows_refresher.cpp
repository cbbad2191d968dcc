#include "engine/installed_rows_refresher.h"

#include <QFileInfo>

#include "app/settings.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/check_run.h"
#include "inventory/tc_version_row.h"
#include "tcdetect/tc_locator.h"

namespace quillon {

InstalledRowsRefresher::InstalledRowsRefresher(AppCore& core)
    : m_system(core.system()), m_locator(core.tcLocator()), m_list(core.updateList()),
      m_stores(core.stores()),
      m_options(IdentificationOptions::from(core.settings().values, core.commandLine())),
      m_tcOptions{core.settings().values.tcIntelliDetect, core.settings().values.plugChecksumDbState},
      m_programPath(core.programPath()), m_tcExeFile(core.tc().exeFile), m_tcDir(core.tc().dir),
      m_publicationDates(core.updateCheckState().PublicationDates) {
    // The copy tells no view: the owner's model follows the owner's list.
    m_list.setObserver(nullptr);
}

RowsRefresh InstalledRowsRefresher::refresh(const QString& itemPath) {
    RowsRefresh refresh;
    const IniDocument userPluginInfoBefore = m_stores.userPluginInfo;
    const IniDocument settingsBefore = m_stores.settings;
    ItemIdentifier identifier(m_list, m_stores.identification(), m_options,
                              PathForms::fromLocator(m_locator, m_system), m_programPath);
    identifier.setPublicationDateLookup(
        [this](const QString& filePath) { return m_publicationDates.value(filePath.trimmed().toLower()); });

    const QString itemFolder = QFileInfo(itemPath).absolutePath();
    QStringList paths;
    for (int row = 0; row < m_list.rowCount(); ++row) {
        const UpdateItem& item = m_list.row(row);
        if ((item.Checked || m_list.state(row) == ItemState::Update) && !item.FilePath.isEmpty())
            paths.append(item.FilePath);
    }
    for (const QString& path : std::as_const(paths)) {
        const int row = m_list.indexOfPath(path); // a refresh may have hidden an earlier row
        if (row < 0)
            continue;
        if (m_list.row(row).Group == ItemGroup::TC) {
            refresh.tcRowChosen = true;
            continue;
        }
        // Only rows this package installed may take its version: another marked row whose own
        // package is still to come (or fails) must keep its state.
        const bool installedByThis = !isDatabasePseudoPath(path) && QFileInfo(path).absolutePath().compare(
                                                                        itemFolder, Qt::CaseInsensitive) == 0;
        identifier.RefreshPluginInfo(path, row, installedByThis ? itemPath : QString(), false);
        if (const int now = m_list.indexOfPath(path); now >= 0)
            refresh.rows.append(m_list.row(now));
    }
    refresh.userPluginInfo = IniEditsBetween(userPluginInfoBefore, m_stores.userPluginInfo);
    refresh.settings = IniEditsBetween(settingsBefore, m_stores.settings);
    return refresh;
}

TcVersionFacts InstalledRowsRefresher::detectTcVersion(const platform::TcWindowState* window) {
    const TcVersionDetector detector(m_system, m_locator, m_stores.checksumDb, m_tcOptions);
    const TcVersionFacts facts = detector.detect(m_tcExeFile, m_tcDir, window);
    m_tcExeFile = facts.exeFile;
    ApplyTcVersionRow(m_list, facts, false);
    return facts;
}

} // namespace quillon
