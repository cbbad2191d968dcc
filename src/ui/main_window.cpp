#include "main_window.h"

#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "about_page.h"
#include "app/config_change.h"
#include "app/settings.h"
#include "app/system.h"
#include "app/tc_window_note.h"
#include "clickable_label.h"
#include "config_page.h"
#include "engine/app_core.h"
#include "info_box.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "message_box_prompter.h"
#include "ui_text.h"
#include "update_list_model.h"
#include "update_list_view.h"
#include "update_page.h"
#include "updatecheck/page_fetcher.h"
#include "user_db_list.h"
#include "userdb_page.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

Ttc_Updater::Ttc_Updater(AppCore& core, MessageBoxPrompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_core(core), m_prompter(prompter), m_jobs(new JobRunner(this)),
      m_tcCalls(new JobRunner(this)) {
    setObjectName(u"Ttc_Updater"_s);
    m_prompter.setLanguage(&m_core.language());
    setWindowTitle(m_core.windowCaption());
    setWindowIcon(QIcon(u":/icons/quillon.svg"_s));
    buildWidgets();
    buildLanguageMenu();

    const SettingValues& values = m_core.settings().values;
    fitMinimumSize();
    resize(values.mainFormW, values.mainFormH);
    if (!values.allowResize)
        setFixedSize(values.mainFormW, values.mainFormH);

    connect(m_jobs, &JobRunner::progress, this, [this](const QString&, qint64 done, qint64 total) {
        if (total > 0) {
            ProgressBar->setRange(0, static_cast<int>(total));
            ProgressBar->setValue(static_cast<int>(done));
        }
    });
    retranslate();
    m_update->applySavedFilter();
}

Ttc_Updater::~Ttc_Updater() {
    // The core may go before the prompter does (another prefix chosen).
    m_prompter.setLanguage(nullptr);
}

void Ttc_Updater::buildWidgets() {
    tcUpdater_Pages = new QTabWidget(this);
    tcUpdater_Pages->setObjectName(u"tcUpdater_Pages"_s);
    m_update = new UpdatePage(
        {m_core.language(), m_core.settings().values, m_core.updateList(), m_core.updateCheckState()});
    m_config = new ConfigPage({m_core.language(), m_core.settings().values, m_core.stores().settings,
                               m_core.system(), m_core.prompter(), m_core.commandLine(), m_core.tc()});
    m_userDb = new UserDbPage(m_core.language(), m_core.settings(), m_core.stores(), m_core.prompter());
    m_about = new AboutPage(m_core.language(), m_core.settings().values, m_core.databaseState(),
                            m_core.stores().settings, m_core.system().platform());
    tcUpdater_Pages->addTab(m_update, QString());
    tcUpdater_Pages->addTab(m_config, QString());
    tcUpdater_Pages->addTab(m_userDb, QString());
    tcUpdater_Pages->addTab(m_about, QString());

    btn_ChangeLng = new QToolButton(this);
    btn_ChangeLng->setObjectName(u"btn_ChangeLng"_s);
    btn_ChangeLng->setPopupMode(QToolButton::InstantPopup);
    PopupMenuLng = new QMenu(btn_ChangeLng);
    btn_ChangeLng->setMenu(PopupMenuLng);
    tcUpdater_Pages->setCornerWidget(btn_ChangeLng, Qt::TopRightCorner);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(u"ProgressBar"_s);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setFormat(u"%p%"_s);
    btn_Reload = new QPushButton(this);
    btn_Reload->setObjectName(u"btn_Reload"_s);
    btn_SearchUpdates = new QPushButton(this);
    btn_SearchUpdates->setObjectName(u"btn_SearchUpdates"_s);
    btn_UpdateSelected = new QPushButton(this);
    btn_UpdateSelected->setObjectName(u"btn_UpdateSelected"_s);
    btn_UpdateSelected->setEnabled(false);
    btn_SearchUpdates->setEnabled(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btn_Reload);
    bottom->addWidget(ProgressBar, 1);
    bottom->addWidget(btn_SearchUpdates, 2);
    bottom->addWidget(btn_UpdateSelected, 2);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 2);
    layout->addWidget(tcUpdater_Pages, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);

    auto* databaseCount = new ClickableLabel(this);
    // Opened on the selected row's entry, as the entry command opens it.
    connect(databaseCount, &ClickableLabel::clicked, this, [this] {
        const QList<int> rows = m_update->selectedRows();
        openDatabaseBrowser(rows.size() == 1 ? m_core.updateList().row(rows.first()).FilePath : QString());
    });
    lbl_databaseCount = databaseCount;
    lbl_databaseCount->setObjectName(u"lbl_databaseCount"_s);
    lbl_status = new QLabel(this);
    lbl_status->setObjectName(u"lbl_status"_s);
    statusBar()->addWidget(lbl_status, 1);
    statusBar()->addPermanentWidget(lbl_databaseCount);

    connect(btn_SearchUpdates, &QPushButton::clicked, this, &Ttc_Updater::btn_SearchUpdatesClick);
    connect(btn_UpdateSelected, &QPushButton::clicked, this, &Ttc_Updater::btn_UpdateSelectedClick);
    connect(btn_Reload, &QPushButton::clicked, this, &Ttc_Updater::ReloadList);
    connect(tcUpdater_Pages, &QTabWidget::currentChanged, this, &Ttc_Updater::pageChanged);
    connect(m_update, &UpdatePage::countersChanged, this, &Ttc_Updater::countersChanged);
    connect(m_update, &UpdatePage::commandRequested, this, &Ttc_Updater::runListCommand);
    connect(m_update, &UpdatePage::contextMenuRequested, this, [this](const QPoint& pos) {
        QMenu* menu = buildContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(pos);
    });
    connect(m_config, &ConfigPage::connectionChanged, this, [this] {
        if (!m_jobs->isRunning())
            m_core.pageFetcher().setSettings(FetchSettings::fromSettings(m_core.settings().values));
    });
    m_infoBox = new TInfobox(m_core.language(), m_core.settings().values, m_core.stores(),
                             m_core.updateCheckState(), m_core.system(), this);
    m_infoBox->follow(this);
    addAction(m_infoBox->toggleAction());
    connect(m_infoBox, &TInfobox::editUserEntryRequested, this, &Ttc_Updater::editUserEntry);
    connect(m_infoBox, &TInfobox::addUserEntryRequested, this, &Ttc_Updater::modifyDatabaseEntry);
    connect(m_infoBox, &TInfobox::browseDatabaseRequested, this, &Ttc_Updater::openDatabaseBrowser);
    // The box shows one item: its "$" link downloads that row, whatever else is marked.
    connect(m_infoBox, &TInfobox::directDownloadRequested, this, [this](const QString& filePath) {
        const int row = m_core.updateList().indexOfPath(filePath);
        if (row >= 0)
            openDownloadWindow({row}, InstallChoice::AsSettingsSay);
    });
    connect(m_infoBox, &TInfobox::activated, this, &Ttc_Updater::showSelectionInInfoBox);
    connect(&m_userDb->entries(), &UserDbList::currentEntryChanged, this,
            &Ttc_Updater::showSelectionInInfoBox);
    // The user entries answer the box's keys as the update list does.
    using BoxLink = void (TInfobox::*)();
    const std::pair<QKeySequence, BoxLink> boxKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_D), &TInfobox::openDirectDownload},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W), &TInfobox::openOnlineSite},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), &TInfobox::openAuthorSite}};
    for (const auto& [keys, open] : boxKeys) {
        auto* key = new QShortcut(keys, &m_userDb->entries().list());
        key->setContext(Qt::WidgetShortcut);
        connect(key, &QShortcut::activated, this, [this, open = open] {
            showSelectionInInfoBox();
            (m_infoBox->*open)();
        });
    }
    connect(&m_userDb->entries(), &UserDbList::userDbChanged, this, [this] {
        m_infoBox->refresh();
        updateStatusLine();
    });
    connect(m_update->view().selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Ttc_Updater::showSelectionInInfoBox);

    const auto shortcut = [this](const QKeySequence& keys, auto handler) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::Key_F5), [this] {
        if (btn_Reload->isEnabled())
            ReloadList();
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_R), [this] {
        if (btn_Reload->isEnabled()) {
            tcUpdater_Pages->setCurrentIndex(TabUpdate);
            ReloadList();
        }
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
        if (m_jobs->isRunning())
            return;
        tcUpdater_Pages->setCurrentIndex(TabUpdate);
        m_update->startQuickSearch();
    });
    shortcut(QKeySequence(Qt::Key_F1), [this] {
        const QString readme = m_core.programDir() + u"/readme.txt"_s;
        if (QFileInfo::exists(readme))
            JumpToSelectedFiles(1, {readme}, 1006);
    });
}

void Ttc_Updater::buildLanguageMenu() {
    PopupMenuLng->clear();
    for (const LanguageMenuEntry& entry : m_core.language().menuEntries()) {
        if (entry.external)
            PopupMenuLng->addSeparator();
        QAction* action = PopupMenuLng->addAction(entry.caption());
        action->setCheckable(true);
        action->setChecked(entry.checked);
        action->setData(entry.LCID);
        connect(action, &QAction::triggered, this, [this, lcid = entry.LCID] { LNGPopupItemClick(lcid); });
    }
}

void Ttc_Updater::retranslate() {
    const Language& lng = m_core.language();
    tcUpdater_Pages->setTabText(TabUpdate, uiText(lng, "CaptionsMainFrm", "Tab_Update", "Update"));
    tcUpdater_Pages->setTabText(TabConfig, uiText(lng, "CaptionsMainFrm", "Tab_Config", "Configuration"));
    tcUpdater_Pages->setTabText(TabUserDB, uiText(lng, "CaptionsMainFrm", "MenuUserDB", "UserDB"));
    tcUpdater_Pages->setTabText(TabAbout, uiText(lng, "CaptionsMainFrm", "Tab_About", "About"));
    btn_ChangeLng->setText(lng.buttonCaption());
    btn_ChangeLng->setToolTip(uiText(lng, "Hints", "ChangeLng", "Change the language of the program"));
    btn_Reload->setText(uiText(lng, "Buttons", "BtnReload", "Reload"));
    btn_Reload->setToolTip(uiText(lng, "Hints", "Reload", "Reload the plugin list") + u"\n(F5 / Ctrl + R)"_s);
    btn_SearchUpdates->setText(m_checkRunning
                                   ? uiText(lng, "Buttons", "BtnCancel", "Cancel")
                                   : uiText(lng, "Buttons", "BtnUpdateSearch", "Search for updates"));
    btn_UpdateSelected->setText(uiText(lng, "Buttons", "BtnUpdateSelected", "Download the marked items"));
    m_update->retranslate();
    m_infoBox->retranslate();
    m_config->retranslate();
    m_userDb->retranslate();
    m_about->retranslate();
    updateStatusLine();
    fitMinimumSize();
}

void Ttc_Updater::fitMinimumSize() {
    // The stored minimum was measured with Windows' small interface font; a larger desktop font
    // or a longer translation must not cut the buttons' texts off.
    QWidget* central = centralWidget();
    if (central && central->layout()) {
        // The texts just changed: recompute the nested layouts' cached hints now.
        central->layout()->invalidate();
        central->layout()->activate();
    }
    const QSize needed = central ? central->minimumSizeHint() : QSize();
    setMinimumSize(qMax(491, needed.width()), qMax(559, needed.height()));
}

void Ttc_Updater::LNGPopupItemClick(quint32 lcid) {
    if (m_jobs->isRunning())
        return;
    m_core.language().LoadLanguage(QString::number(lcid));
    m_core.settings().values.currentLng = m_core.language().currentShortName();
    for (QAction* action : PopupMenuLng->actions())
        action->setChecked(action->data().toUInt() == lcid && !action->isSeparator());
    retranslate();
}

void Ttc_Updater::updateStatusLine() {
    lbl_databaseCount->setText(
        AboutPage::databaseStateLine(m_core.language(), m_core.settings().values, m_core.databaseState()));
}

bool Ttc_Updater::inventoryDone() const {
    return m_core.InventoryDone;
}

void Ttc_Updater::bringToFront() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void Ttc_Updater::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        QTimer::singleShot(0, this, &Ttc_Updater::FormActivate);
    }
}

void Ttc_Updater::FormActivate() {
    if (!m_placed) {
        const SettingValues& values = m_core.settings().values;
        // First the screen's centre; over Total Commander's window when it answers.
        QPoint centred = pos();
        if (const QScreen* screen = this->screen()) {
            const QRect room = screen->availableGeometry();
            centred = QPoint(room.x() + (room.width() - frameGeometry().width()) / 2,
                             room.y() + (room.height() - frameGeometry().height()) / 2);
        }
        const bool positionStored = values.mainFormL >= 0 && values.mainFormT >= 0;
        if (!positionStored)
            move(centred);
        placeOverTotalCommander(positionStored ? QPoint(values.mainFormL, values.mainFormT) : centred,
                                !positionStored);
        // The stored widths keep their proportions and fill the list's width.
        const int widths[] = {values.updateListW0, values.updateListW1, values.updateListW2,
                              values.updateListW3};
        const int listWidth = m_update->view().viewport()->width();
        int stored = 0;
        for (const int w : widths)
            stored += std::max(w, 0);
        for (int c = 0; c < 4; ++c) {
            const int fallback =
                c == 0 ? listWidth / 4 + 38 : (c == 3 ? listWidth / 4 + 13 : listWidth / 4 - 37);
            const int width = stored > 0 && stored < listWidth ? widths[c] * listWidth / stored : widths[c];
            m_update->view().setColumnWidth(c, width > 0 ? width : fallback);
        }
        m_placed = true;
    }
    if (!m_core.InventoryDone)
        startInventory(false);
}

void Ttc_Updater::placeOverTotalCommander(QPoint stored, bool centreOverIt) {
    // Under Wine asking for Total Commander's window starts a bridge process: the window shows
    // first and moves when the answer comes.
    if (m_tcCalls->isRunning())
        return;
    System* system = &m_core.system();
    auto tc = std::make_shared<platform::TcWindowState>();
    const QPoint shownAt = pos();
    m_tcCalls->start([system, tc](const CancelToken&, ProgressSink&) { *tc = system->tcWindow().state(); },
                     [this, tc, stored, shownAt, centreOverIt](bool) {
                         // A user who already moved the window keeps it where it is.
                         if (tc->running && !tc->minimized && pos() == shownAt) {
                             QPoint at = stored;
                             if (centreOverIt && tc->rect) {
                                 const QRect frame = frameGeometry();
                                 at = QPoint((tc->rect->left + tc->rect->right) / 2 - frame.width() / 2,
                                             (tc->rect->top + tc->rect->bottom) / 2 - frame.height() / 2);
                             }
                             move(at);
                         }
                         emit tcCallsFinished();
                     });
}

void Ttc_Updater::ReloadList() {
    if (m_jobs->isRunning())
        return;
    startInventory(true);
}

void Ttc_Updater::startInventory(bool reload) {
    auto outcome = std::make_shared<InventoryOutcome>();
    setJobRunning(true, false);
    ProgressBar->setRange(0, 0);
    showStatus(uiText(m_core.language(), "CaptionsMainFrm", "StatusLoading", "Loading the plugin list..."));
    // The job reads the core and builds on copies; the list changes here, when it is done.
    const AppCore& core = m_core;
    m_jobs->start(
        [&core, outcome, reload](const CancelToken& token, ProgressSink& sink) {
            *outcome = core.inventory(reload, token, [&sink](int row, bool) {
                sink.report({QString(), row, -1});
            });
        },
        [this, outcome](bool) {
            const InventoryPassResult result = outcome->result;
            m_core.applyInventory(std::move(*outcome));
            inventoryApplied(result);
        });
}

void Ttc_Updater::inventoryApplied(const InventoryPassResult& result) {
    setJobRunning(false, false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    // The pass asked for Total Commander's window: why it could not, when Wine is in the way.
    showStatus(TcWindowNote(m_core.system().tcWindow().lastProblem(), m_core.language()));
    refreshViews({View::Settings, View::List, View::UserDb});
    m_update->setFiltersEnabled(true);
    m_update->applySavedFilter();
    updateStatusLine();
    if (result.showConfiguration)
        tcUpdater_Pages->setCurrentIndex(TabConfig);
    else if (m_core.updateList().rowCount() > 0 && m_update->currentRow() < 0)
        m_update->selectRow(0);
    if (m_core.settings().values.showInfoBox && m_core.updateList().rowCount() > 0) {
        m_infoBox->setActive(true);
        showSelectionInInfoBox();
    }
    emit inventoryFinished();
    // The start switches check after every filling of the list, the first and every reload.
    const bool autoStart = m_core.commandLine().anyAutoStart();
    if (result.configFound && (std::exchange(m_checkAfterReload, false) || autoStart))
        searchForUpdates();
}

void Ttc_Updater::btn_SearchUpdatesClick() {
    if (m_checkRunning) {
        m_jobs->cancel();
        btn_SearchUpdates->setEnabled(false);
        return;
    }
    searchForUpdates();
}

void Ttc_Updater::searchForUpdates() {
    if (m_jobs->isRunning() || m_core.updateList().snapshot().isEmpty())
        return;
    SettingValues& values = m_core.settings().values;
    m_core.pageFetcher().setSettings(FetchSettings::fromSettings(values));
    const DetectionOptions detection = DetectionOptions::fromValues(values);
    // Changed detection options: the list is loaded again (a job of its own), then checked.
    if (AskReloadBeforeCheck(m_core, detection)) {
        m_checkAfterReload = true;
        startInventory(true);
        return;
    }
    const int selected = m_update->currentRow();
    tcUpdater_Pages->setCurrentIndex(TabUpdate);
    auto job = std::make_shared<CheckJob>(m_core, detection);
    auto result = std::make_shared<CheckJobResult>();
    setJobRunning(true, true);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    showStatus(uiText(m_core.language(), "CaptionsMainFrm", "StatusSearching", "Searching for updates..."));
    m_jobs->start([job, result, selected](const CancelToken& token,
                                          ProgressSink& sink) { *result = job->run(selected, token, sink); },
                  [this, result](bool cancelled) {
                      if (result->outcome && !cancelled)
                          ApplyCheckOutcome(m_core, *result->outcome);
                      result->outcome.reset();
                      checkApplied(*result, cancelled);
                  });
}

void Ttc_Updater::checkApplied(const CheckJobResult& result, bool cancelled) {
    m_lastCheck = result;
    m_lastCheck.cancelled = cancelled || result.cancelled;
    setJobRunning(false, false);
    showStatus(m_lastCheck.cancelled ? uiText(m_core.language(), "CaptionsMainFrm", "StatusCancelled",
                                              "The search for updates was cancelled.")
                                     : QString());
    refreshViews(View::List);
    m_update->setFiltersEnabled(true);
    if (m_lastCheck.cancelled) {
        ProgressBar->setValue(0);
        refreshViews(View::Counters);
        emit checkFinished();
        return;
    }
    ProgressBar->setValue(100);
    if (m_core.settings().values.showItemType != 0)
        m_update->applySavedFilter();
    else
        refreshViews(View::Counters);
    if (result.run.selectRow)
        m_update->selectRow(*result.run.selectRow);
    m_update->view().setFocus();
    emit checkFinished();
    if (result.run.startDownload && !std::exchange(m_autoDownloadDone, true))
        downloadMarked();
}

void Ttc_Updater::refreshViews(Views what) {
    if (what.testFlag(View::Settings))
        m_config->showValues();
    if (what.testFlag(View::List))
        m_update->reloadFromCore();
    if (what.testFlag(View::UserDb))
        m_userDb->refill();
    if (what.testFlag(View::Counters))
        m_update->recount();
}

void Ttc_Updater::refreshRowsSoon(const QList<int>& rows) {
    const bool pending = !m_rowsToRefresh.isEmpty();
    for (const int row : rows) {
        if (!m_rowsToRefresh.contains(row))
            m_rowsToRefresh.append(row);
    }
    if (pending || m_rowsToRefresh.isEmpty())
        return;
    QTimer::singleShot(250, this, [this] { m_update->refreshRows(std::exchange(m_rowsToRefresh, {})); });
}

void Ttc_Updater::setJobRunning(bool running, bool check) {
    m_checkRunning = running && check;
    m_update->setBusy(running);
    m_config->setEnabled(!running);
    btn_Reload->setEnabled(!running);
    btn_ChangeLng->setEnabled(!running);
    m_update->setFiltersEnabled(!running);
    btn_UpdateSelected->setEnabled(false);
    btn_SearchUpdates->setEnabled(m_checkRunning || !running);
    btn_SearchUpdates->setText(
        m_checkRunning ? uiText(m_core.language(), "Buttons", "BtnCancel", "Cancel")
                       : uiText(m_core.language(), "Buttons", "BtnUpdateSearch", "Search for updates"));
}

void Ttc_Updater::countersChanged(const CheckCounters& counters) {
    if (m_jobs->isRunning())
        return;
    btn_UpdateSelected->setEnabled(counters.updateSelectedEnabled);
    btn_SearchUpdates->setEnabled(counters.searchEnabled);
    const bool downloadFirst = counters.checked > 0;
    QFont bold = btn_SearchUpdates->font();
    bold.setBold(true);
    QFont plain = bold;
    plain.setBold(false);
    btn_UpdateSelected->setFont(downloadFirst ? bold : plain);
    btn_SearchUpdates->setFont(downloadFirst ? plain : bold);
    fitMinimumSize();
    if (downloadFirst && counters.updateSelectedDefault && !btn_UpdateSelected->hasFocus())
        btn_UpdateSelected->setDefault(true), btn_SearchUpdates->setDefault(false);
    else if (!downloadFirst)
        btn_SearchUpdates->setDefault(true), btn_UpdateSelected->setDefault(false);
}

void Ttc_Updater::pageChanged(int index) {
    if (index == TabConfig && height() <= 585) {
        m_rememberedHeight = height();
        resize(width(), 586);
    } else if (index != TabConfig && m_rememberedHeight > 0) {
        resize(width(), m_rememberedHeight);
        m_rememberedHeight = 0;
    }
    if (index == TabUpdate && !m_jobs->isRunning() && m_core.InventoryDone) {
        const TextLookup texts = [this](const QString& s, const QString& k, const QString& e) {
            return m_core.language().text(s, k, e);
        };
        if (CheckForConfigChange(m_core.settings(), DetectionOptions::fromValues(m_core.settings().values),
                                 m_core.stores().settings, m_prompter, texts))
            ReloadList();
        m_update->view().setFocus();
    } else if (index == TabUserDB) {
        m_userDb->pageShown();
    } else if (index == TabAbout) {
        m_about->retranslate();
    }
}

void Ttc_Updater::showStatus(const QString& text) {
    lbl_status->setText(text);
}

void Ttc_Updater::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_update->endNarrowing())
            return;
        if (m_infoBox->isVisible()) {
            m_infoBox->setActive(false);
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void Ttc_Updater::saveGeometryToSettings() {
    SettingValues& values = m_core.settings().values;
    values.mainFormW = width();
    values.mainFormH = m_rememberedHeight > 0 ? m_rememberedHeight : height();
    values.mainFormL = x();
    values.mainFormT = y();
    const UpdateListView& view = m_update->view();
    values.updateListW0 = view.columnWidth(0);
    values.updateListW1 = view.columnWidth(1);
    values.updateListW2 = view.columnWidth(2);
    values.updateListW3 = view.columnWidth(3);
}

void Ttc_Updater::closeEvent(QCloseEvent* event) {
    if (!m_shutDownDone) {
        m_shutDownDone = true;
        // The job ends within its cancel time and its outcome is dropped; the core is not
        // written while it works.
        m_jobs->cancelAndWait();
        saveGeometryToSettings();
        const bool ctrlHeld = QApplication::queryKeyboardModifiers() == Qt::ControlModifier;
        m_core.shutDown(ctrlHeld);
    }
    event->accept();
}

} // namespace quillon::ui
