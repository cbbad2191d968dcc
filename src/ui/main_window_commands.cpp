// The update list's commands that reach beyond the list: the context menu and its rules, web
// pages, Total Commander, exclusions, and the windows that later versions add.
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include "addon_info.h"
#include "app/common/urls.h"
#include "app/settings.h"
#include "app/system.h"
#include "app/tc_window_note.h"
#include "config_page.h"
#include "download_window.h"
#include "engine/app_core.h"
#include "engine/check_run.h"
#include "engine/download_manager.h"
#include "file_jump.h"
#include "info_box.h"
#include "install/backup_catalog.h"
#include "install/request_builder.h"
#include "inventory/update_list.h"
#include "inventory/user_database.h"
#include "item_exclusion.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "platform/platform.h"
#include "plugin_db_browser.h"
#include "tcdetect/tc_locator.h"
#include "ui_text.h"
#include "update_list_model.h"
#include "update_list_view.h"
#include "update_page.h"
#include "update_preview_window.h"
#include "updatecheck/item_pages.h"
#include "updatecheck/online_match.h"
#include "user_db_list.h"
#include "userdb_page.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

constexpr int kMostPagesAtOnce = 10;

bool sameFile(const QString& a, const QString& b) {
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isInDirectory(const QString& file, const QString& dir) {
    if (dir.isEmpty())
        return false;
    return QFileInfo(file).absolutePath().compare(QDir::cleanPath(dir), Qt::CaseInsensitive) == 0;
}

} // namespace

ItemPageContext Ttc_Updater::pageContext() const {
    const SettingValues& values = m_core.settings().values;
    const QLocale::Language system = QLocale::system().language();
    return ItemPageContext{const_cast<AppCore&>(m_core).stores().userDb,
                           const_cast<AppCore&>(m_core).stores().pluginDb,
                           {values.databaseEnabled, values.ignoreUserDb},
                           const_cast<AppCore&>(m_core).updateCheckState().OnlineRecords,
                           values,
                           system == QLocale::Russian};
}

QList<MenuRowFacts> Ttc_Updater::selectedFacts() const {
    const ItemPageContext context = pageContext();
    const UpdateList& list = m_core.updateList();
    QList<MenuRowFacts> facts;
    for (const int row : m_update->selectedRows()) {
        const UpdateItem& item = list.row(row);
        MenuRowFacts f;
        f.tcRow = item.Group == ItemGroup::TC;
        f.databaseRow = isDatabasePseudoPath(item.FilePath);
        f.ownExecutable = sameFile(item.FilePath, m_core.programPath());
        f.inProtectedDir = isInDirectory(item.FilePath, m_core.tc().dir) ||
                           isInDirectory(item.FilePath, m_core.programDir());
        const QString link = directLink(context, item.FilePath);
        f.hasDirectLink = !link.isEmpty();
        f.directLinkViaMirror = link.startsWith(u'$');
        f.hasDatabaseId =
            !EntryLookup(context.userDb, context.pluginDb, context.switches, item.FilePath, dbkey::WebsiteID)
                 .isEmpty();
        f.hasCatalogueId = f.hasDatabaseId || !catalogueIdentifier(context, item.FilePath).isEmpty();
        f.hasAuthor = !authorAddress(context, item.FilePath).isEmpty();
        // Reading the archives' lists is for the one row a restore can take.
        f.hasBackup = m_update->selectedRows().size() == 1 && !f.databaseRow &&
                      HasItemBackup(m_core.system().expandEnvPath(item.FilePath));
        facts.append(f);
    }
    return facts;
}

MenuEnabling Ttc_Updater::contextMenuState() const {
    const UpdateList& list = m_core.updateList();
    MenuListFacts listFacts;
    listFacts.rowCount = list.rowCount();
    listFacts.markedCount = list.checkedCount();
    listFacts.updatableCount = list.countInState(ItemState::Update);
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.row(row).Checked && list.state(row) == ItemState::Update)
            ++listFacts.markedUpdatable;
    }
    listFacts.downloadManagerInstalled = IsInstalled_IDM(m_core.system(), m_core.settings().values);
    return menuEnabling(selectedFacts(), listFacts);
}

QString Ttc_Updater::databaseEntryCaption() const {
    const Language& lng = m_core.language();
    const QList<int> rows = m_update->selectedRows();
    if (rows.size() == 1) {
        const QString path = m_core.updateList().row(rows.first()).FilePath;
        AppCore& core = const_cast<AppCore&>(m_core);
        if (!EntryValue(core.stores().userDb, path, dbkey::WebsiteID).isEmpty() ||
            core.stores().userDb.hasSection(entryFileName(path)) ||
            core.stores().userDb.hasSection(entryFileStem(path)))
            return uiText(lng, "Popup01MainFrm", "ModifyUserDBentry", "Modify UserDB entry");
        if (core.stores().pluginDb.hasSection(entryFileName(path)) ||
            core.stores().pluginDb.hasSection(entryFileStem(path)))
            return uiText(lng, "Popup01MainFrm", "ModifyDBentry", "Modify DB entry");
    }
    return uiText(lng, "Buttons", "BtnSaveInUDB", "Save in UserDB");
}

QMenu* Ttc_Updater::buildContextMenu() {
    const Language& lng = m_core.language();
    const MenuEnabling e = contextMenuState();
    const bool shortcuts = m_core.settings().values.showMenuShortcuts;
    auto* menu = new QMenu(this);
    menu->setObjectName(u"PopupUpdate"_s);
    const auto add = [&](QMenu* into, const char* key, const char* english, bool enabled,
                         const QKeySequence& keys, auto handler) {
        QAction* action = into->addAction(uiText(lng, "Popup01MainFrm", key, english));
        action->setObjectName(QString::fromLatin1(key));
        action->setEnabled(enabled);
        if (shortcuts && !keys.isEmpty())
            action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add(menu, "RefreshItem", "Refresh Item", e.refreshItem, QKeySequence(Qt::Key_F2),
        [this] { runListCommand(ListCommand::RefreshItem); });
    menu->addAction(m_infoBox->toggleAction());
    add(menu, "DownloadFile", "Download File...", e.download, QKeySequence(Qt::CTRL | Qt::Key_D),
        [this] { runListCommand(ListCommand::Download); });
    add(menu, "SendToIDM", "Send to IDM...", e.sendToManager, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
        [this] { runListCommand(ListCommand::SendToDownloadManager); });
    QMenu* marked = menu->addMenu(uiText(lng, "Popup01MainFrm", "MarkedItems", "Marked items"));
    add(marked, "ConfirmUpdatable", "Confirm updatable items as latest...", e.confirmUpdatable, {},
        [this] { confirmUpdatableAsLatest(); });
    add(marked, "PreviewUpdate", "Preview the update of the marked items...", e.confirmUpdatable, {},
        [this] { previewMarked(); });
    marked->addSeparator();
    add(marked, "UnmarkAll", "Unmark all items", e.unmarkOrInvert,
        QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)),
        [this] { m_update->Unmarkall1Click(); });
    add(marked, "InvertMarks", "Invert marked items", e.unmarkOrInvert, {},
        [this] { m_update->Invertmarks1Click(); });
    add(marked, "ReselectUpdatable", "Reselect updatable items", e.reselectUpdatable, {},
        [this] { m_update->Reselectupdatable1Click(); });
    add(marked, "MarkAll", "Mark all items", e.markAll,
        QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier,
                                     Qt::Key_Plus)), // shown "Ctrl+Num++": the keypad's
        [this] { m_update->Markall1Click(); });
    menu->addSeparator();
    QAction* dbEntry =
        add(menu, "ModifyDBentry", "Modify DB entry", e.databaseEntry, QKeySequence(Qt::CTRL | Qt::Key_Z),
            [this] { runListCommand(ListCommand::DatabaseEntry); });
    dbEntry->setText(databaseEntryCaption());
    QMenu* exclude = menu->addMenu(uiText(lng, "Popup01MainFrm", "ExcludeFromList", "Exclude from list"));
    add(exclude, "Exclude_Sub1", "File", e.excludeFile, QKeySequence(Qt::CTRL | Qt::Key_X),
        [this] { excludeSelected(false); });
    add(exclude, "Exclude_Sub2", "Directory", e.excludeDirectory, {}, [this] { excludeSelected(true); });
    add(exclude, "Exclude_Sub3", "All marked items", e.excludeMarked, {}, [this] { excludeMarked(); });
    QAction* loads = menu->addAction(uiText(lng, "PluginLoadCheck", "MenuCheckLoads", "Check that it loads"));
    loads->setObjectName(u"MenuCheckLoads"_s);
    loads->setEnabled(!m_jobs->isRunning() && m_core.system().platform().pluginLoads().available() &&
                      !selectedPluginFiles().isEmpty());
    connect(loads, &QAction::triggered, this, &Ttc_Updater::checkSelectedPluginsLoad);
    menu->addSeparator();
    add(menu, "JumpToFile", "Jump to the file...", e.jumpToFile, QKeySequence(Qt::CTRL | Qt::Key_PageDown),
        [this] { runListCommand(ListCommand::JumpToFiles); });
    QAction* search = add(menu, "WebSearch", "Search...", e.webSearch, {}, [this] {
        QStringList addresses;
        for (const int row : m_update->selectedRows())
            addresses.append(
                webSearchAddress(m_core.settings().values.searchEngine, m_core.updateList().row(row).Name));
        openPages(addresses, static_cast<int>(addresses.size()));
    });
    // The site's name, then "search" in the user's language: "Google search...".
    QString searchWord =
        uiText(lng, "CaptionsMainFrm", "SearchItem", "Search:").remove(u':').trimmed().toLower();
    QString site = UrlSiteName(m_core.settings().values.searchEngine);
    if (!site.isEmpty())
        site[0] = site.at(0).toUpper();
    search->setText(site + u' ' + searchWord + u"..."_s);
    QAction* author = add(menu, "AuthorSite", "Author homepage...", e.authorPage,
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A),
                          [this] { runListCommand(ListCommand::OpenAuthorPages); });
    author->setVisible(e.authorPage);
    add(menu, "VisitOnline", "Visit online site...", e.onlinePage,
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
        [this] { runListCommand(ListCommand::OpenWebPages); });
    menu->addSeparator();
    add(menu, "RestorePrevious", "Restore previous version...", e.restoreBackup, {},
        [this] { restorePreviousVersion(); });
    return menu;
}

void Ttc_Updater::runListCommand(ListCommand command) {
    if (m_jobs->isRunning())
        return;
    const UpdateList& list = m_core.updateList();
    const QList<int> rows = m_update->selectedRows();
    switch (command) {
    case ListCommand::JumpToFiles:
    case ListCommand::JumpToFilesNewTab: {
        QStringList files;
        for (const int row : rows) {
            if (!isDatabasePseudoPath(list.row(row).FilePath))
                files.append(m_core.system().expandEnvPath(list.row(row).FilePath));
        }
        JumpToSelectedFiles(command == ListCommand::JumpToFiles ? 0 : 1, files);
        return;
    }
    case ListCommand::OpenWebPages:
    case ListCommand::OpenAuthorPages: {
        const ItemPageContext context = pageContext();
        QStringList addresses;
        for (const int row : rows) {
            const UpdateItem& item = list.row(row);
            const QString address = command == ListCommand::OpenWebPages
                                        ? itemPageAddress(context, item.FilePath, item.Group == ItemGroup::TC)
                                        : authorPageAddress(context, item.FilePath);
            if (!address.isEmpty())
                addresses.append(address);
        }
        openPages(addresses, static_cast<int>(rows.size()));
        return;
    }
    case ListCommand::RefreshItem:
        refreshSelectedItem();
        return;
    case ListCommand::ExcludeFile:
        if (contextMenuState().excludeFile)
            excludeSelected(false);
        return;
    case ListCommand::Download:
    case ListCommand::DownloadInstall:
        if (!contextMenuState().download)
            return;
        openDownloadWindow(rows, command == ListCommand::DownloadInstall ? InstallChoice::Always
                                                                         : InstallChoice::AsSettingsSay);
        return;
    case ListCommand::SendToDownloadManager:
        sendToDownloadManager(rows);
        return;
    case ListCommand::ToggleInfoWindow:
        m_infoBox->toggleAction()->trigger();
        showSelectionInInfoBox();
        return;
    case ListCommand::ItemInformation: {
        const int row = m_update->currentRow();
        if (row < 0)
            return;
        const UpdateItem item = list.row(row);
        if (item.FilePath == kPluginDbPath)
            openDatabaseBrowser(QString());
        else if (item.FilePath != kChecksumDbPath)
            ShowItemInfoDialog(
                {{m_core.language(), m_core.settings().values, m_core.stores(), m_core.prompter()},
                 m_core.updateCheckState(),
                 m_core.pageFetcher(),
                 m_core.databaseState()},
                item, this);
        return;
    }
    case ListCommand::DatabaseEntry: {
        if (!contextMenuState().databaseEntry)
            return;
        modifyDatabaseEntry(list.row(rows.first()).FilePath);
        return;
    }
    }
}

void Ttc_Updater::btn_UpdateSelectedClick() {
    downloadMarked();
}

void Ttc_Updater::downloadMarked() {
    const QList<int> marked = m_core.updateList().markedRows();
    // "autostartinstall" installs whatever the settings say.
    const bool installAll =
        m_core.commandLine().autoStartInstall() || m_core.updateCheckState().InstallAfterDownload;
    openDownloadWindow(marked, installAll ? InstallChoice::Always : InstallChoice::AsSettingsSay);
}

void Ttc_Updater::confirmUpdatableAsLatest() {
    if (m_jobs->isRunning())
        return;
    TcLocator* locator = &m_core.tcLocator();
    ConfirmContext context{m_core.updateList(), m_core.stores().settings, m_core.programPath(),
                           m_core.tc().exeFile,
                           [locator](const QString& path) { return locator->ConvertTCPathToEnvPath(path); }};
    if (ConfirmUpdatableAsLatest(context, m_prompter, m_core.language()) == 0)
        return;
    UpdateList& list = m_core.updateList();
    for (int row = 0; row < list.rowCount(); ++row)
        list.updateSnapshotRow(list.row(row).FilePath, row);
    refreshViews({View::List, View::Counters});
}

void Ttc_Updater::previewMarked() {
    if (m_jobs->isRunning() || m_download)
        return;
    UpdatePassOptions options;
    options.rows = m_core.updateList().markedRows();
    // As the download button would run it: installed when the settings say so.
    options.install = InstallChoice::AsSettingsSay;
    auto* preview = new TUpdatePreview(
        m_core.language(), std::make_unique<UpdatePreview>(m_core, m_prompter, std::move(options)), this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    m_preview = preview;
    if (!preview->start()) {
        preview->deleteLater();
        return;
    }
    preview->open();
}

void Ttc_Updater::openDownloadWindow(const QList<int>& rows, InstallChoice install, const QString& item) {
    if (m_jobs->isRunning() || m_download || (rows.isEmpty() && item.isEmpty()))
        return;
    UpdatePassOptions options;
    options.rows = rows;
    options.forceItem = item;
    // Asked while the requests are built, before the window opens.
    options.askPackage = true;
    options.install = install;
    options.askInstallQuestion = true;
    auto* window = new TDownloadFiles(
        {m_core.language(), m_core.settings(), m_core.system(), m_core.stores().settings, m_prompter},
        std::make_unique<UpdateSequence>(m_core, m_prompter, std::move(options)), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_download = window;
    // Files may finish many times a second: changed rows are gathered and shown a few times a second.
    connect(window, &TDownloadFiles::rowsRefreshed, this, &Ttc_Updater::refreshRowsSoon);
    connect(window, &TDownloadFiles::rowNoted, this, [this](const QString& filePath, const QString& note) {
        m_update->setStatusNote(filePath, note);
    });
    connect(window, &QDialog::finished, this,
            [this, window] { downloadWindowClosed(window->endOfPassAction()); });
    if (!window->prepare()) {
        window->deleteLater();
        m_download = nullptr;
        // A button that does nothing would leave the user guessing: say which rows and why.
        QStringList names;
        for (const int row : rows)
            names.append(m_core.updateList().row(row).Name);
        if (!names.isEmpty())
            m_prompter.tell(PromptIcon::Information,
                            uiText(m_core.language(), "ErrorMessages", "CaptionInfo", "Information"),
                            uiText(m_core.language(), "CaptionsDownload", "NothingToDownload",
                                   "No download address is known for these items. Search for updates first; "
                                   "when the search fails, try again once the catalogue answers.") +
                                u"\n\n"_s + names.join(u'\n'));
        return;
    }
    window->open();
}

void Ttc_Updater::downloadWindowClosed(EndOfPassAction action) {
    refreshViews({View::List, View::Counters, View::Settings});
    if (action == EndOfPassAction::Restart) {
        // The new program takes over: started with the switches that bring it back to work.
        const QStringList arguments{u"/restart"_s, u"/autostart"_s};
        const bool started = m_startProgram ? m_startProgram(m_core.programPath(), arguments)
                                            : QProcess::startDetached(m_core.programPath(), arguments);
        if (started)
            close();
        return;
    }
    if (action == EndOfPassAction::ReloadAndCheck) {
        m_checkAfterReload = true;
        ReloadList();
    }
}

void Ttc_Updater::openPages(const QStringList& addresses, int selectedRows) {
    const Language& lng = m_core.language();
    if (selectedRows > kMostPagesAtOnce) {
        m_prompter.tell(
            PromptIcon::Error,
            uiText(lng, "ErrorMessages", "TooManyLinks_Caption", "Error: Too many selected items..."),
            uiText(lng, "ErrorMessages", "TooManyLinks_L1", "You have selected more than 10 items.") +
                u"\r\n\r\n"_s +
                uiText(lng, "ErrorMessages", "TooManyLinks_L2",
                       "Opening all these links could slowdown your system / freeze your browser.") +
                u"\r\n\r\n"_s +
                uiText(lng, "ErrorMessages", "TooManyLinks_L3",
                       "The event has been terminated for safety reasons."));
        return;
    }
    // Browsers drop pages that arrive all at once; the pause is a timer, not a wait.
    for (int i = 0; i < addresses.size(); ++i) {
        const QUrl url(addresses.at(i));
        if (i == 0)
            QDesktopServices::openUrl(url);
        else
            QTimer::singleShot(80 * i, this, [url] { QDesktopServices::openUrl(url); });
    }
}

void Ttc_Updater::JumpToSelectedFiles(int mode, const QStringList& files, int thenCommand) {
    // Under Wine every call to Total Commander's window starts a bridge process, and a hung
    // wineserver only gives up after its time limit: the calls run off this thread.
    if (files.isEmpty() || m_tcCalls->isRunning())
        return;
    System* system = &m_core.system();
    const Language* language = &m_core.language();
    auto note = std::make_shared<QString>();
    m_tcCalls->start(
        [=](const CancelToken&, ProgressSink&) {
            platform::TcWindow& tc = system->tcWindow();
            const platform::TcWindowState state = tc.state();
            const bool reachable = state.running && !state.minimized;
            if (reachable && mode == 1)
                tc.sendCommand(3001);
            jumpToFiles(*system, files);
            if (reachable && thenCommand != 0)
                tc.sendCommand(thenCommand);
            if (!reachable) {
                // Why the window could not be reached, when the platform knows; else the plain fallback.
                *note = TcWindowNote(tc.lastProblem(), *language);
                if (note->isEmpty())
                    *note = uiText(*language, "CaptionsMainFrm", "JumpFallback",
                                   "Total Commander is not running: the file is shown in the file manager.");
            }
        },
        [this, note](bool) {
            showStatus(*note);
            emit tcCallsFinished();
        });
}

void Ttc_Updater::excludeSelected(bool directory) {
    QStringList paths;
    for (const int row : m_update->selectedRows())
        paths.append(m_core.updateList().row(row).FilePath);
    if (paths.isEmpty())
        return;
    excludeItems({m_core.updateList(), m_core.settings(), m_core.tc(), m_core.tcLocator(), m_core.system(),
                  m_core.programPath()},
                 paths, directory ? ExcludeMode::Directory : ExcludeMode::File);
    refreshViews({View::UserDb, View::List, View::Counters});
}

void Ttc_Updater::excludeMarked() {
    m_update->selectRows(m_core.updateList().markedRows());
    excludeSelected(false);
}

void Ttc_Updater::refreshSelectedItem() {
    const QList<int> rows = m_update->selectedRows();
    if (rows.isEmpty())
        return;
    UpdateList& list = m_core.updateList();
    const int row = rows.first();
    const QString path = list.row(row).FilePath;
    if (m_core.RefreshPluginInfo(path, row, QString(), false))
        list.updateSnapshotRow(path, row);
    m_update->refreshRows({row});
    refreshViews(View::Counters);
}

void Ttc_Updater::openDatabaseBrowser(const QString& filePath) {
    if (m_jobs->isRunning())
        return;
    TPluginDB browser({m_core.language(), m_core.settings().values, m_core.stores(),
                       m_core.updateCheckState(), m_core.prompter(), m_core.settingsDir()},
                      filePath, this);
    connect(&browser, &TPluginDB::userDbChanged, this, [this] { refreshViews(View::UserDb); });
    bool downloadDatabase = false;
    connect(&browser, &TPluginDB::downloadLatestRequested, this,
            [&downloadDatabase] { downloadDatabase = true; });
    browser.exec();
    // The database comes through the download window, which puts it in place and reloads.
    if (downloadDatabase)
        openDownloadWindow({}, InstallChoice::AsSettingsSay, QString(kPluginDbPath));
    updateStatusLine();
    m_infoBox->refresh();
}

void Ttc_Updater::modifyDatabaseEntry(const QString& filePath) {
    if (filePath.isEmpty() || isDatabasePseudoPath(filePath))
        return;
    const EntryEditTarget target =
        entryEditTarget(m_core.stores().userDb, m_core.stores().pluginDb, filePath);
    switch (target.kind) {
    case EntryEditTarget::Kind::EditUserEntry:
        editUserEntry(target.id);
        return;
    case EntryEditTarget::Kind::BrowsePluginEntry:
        openDatabaseBrowser(filePath);
        return;
    case EntryEditTarget::Kind::AddUserEntry:
        // The file itself proposes the identifier (its version information fills the fields), the
        // catalogue's record of its name the web identifier.
        m_userDb->entries().openEditor(m_core.system().expandEnvPath(filePath),
                                       IsPluginFoundOnline(m_core.updateCheckState().OnlineRecords,
                                                           entryFileName(filePath), OnlineField::Identifier));
        m_infoBox->refresh();
        return;
    }
}

void Ttc_Updater::editUserEntry(const QString& id) {
    tcUpdater_Pages->setCurrentIndex(TabUserDB);
    m_userDb->entries().openEditor(id, m_core.stores().userDb.value(id, u"WebsiteID"_s).trimmed());
    m_infoBox->refresh();
}

void Ttc_Updater::showSelectionInInfoBox() {
    if (!m_infoBox->isVisible() || m_update->busy())
        return;
    if (tcUpdater_Pages->currentIndex() == TabUserDB) {
        if (const QString id = m_userDb->entries().currentId(); !id.isEmpty())
            m_infoBox->showUserEntry(id);
        return;
    }
    const QList<int> rows = m_update->selectedRows();
    if (rows.size() != 1)
        return;
    const UpdateItem& item = m_core.updateList().row(rows.first());
    m_infoBox->showItem(item.FilePath, item.Name);
}

} // namespace quillon::ui
