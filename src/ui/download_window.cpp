#include "ui/download_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "app/common/files.h"
#include "app/common/urls.h"
#include "app/ini_document.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/system.h"
#include "clipboard_text.h"
#include "ui/download_rows_model.h"
#include "ui/file_jump.h"
#include "ui/job_runner.h"
#include "ui/ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

TDownloadFiles::TDownloadFiles(const DownloadWindowParts& parts, std::unique_ptr<UpdateSequence> sequence,
                               QWidget* parent)
    : QDialog(parent), m_parts(parts), m_sequence(std::move(sequence)), m_jobs(new JobRunner(this)),
      m_tcCalls(new JobRunner(this)), m_model(new DownloadRowsModel(parts.language, this)) {
    setObjectName(u"TDownloadFiles"_s);
    build();
    retranslate();
    setMinimumSize(416, 280);
    const auto [width, height] = ReadWindowSize(m_parts.settingsStore, kDownloadFormSize);
    resize(std::max(width, 416), std::max(height, 280));
}

TDownloadFiles::~TDownloadFiles() {
    m_jobs->cancelAndWait();
    m_tcCalls->cancelAndWait();
}

QString TDownloadFiles::text(const char* section, const char* key, const char* english) const {
    return uiText(m_parts.language, section, key, english);
}

void TDownloadFiles::build() {
    auto* layout = new QVBoxLayout(this);
    panel_chooseFile = new QWidget(this);
    auto* panel = new QVBoxLayout(panel_chooseFile);
    panel->setContentsMargins(0, 0, 0, 0);
    lbl_SelectFile = new QLabel(panel_chooseFile);
    auto* directoryRow = new QHBoxLayout;
    edit_SelDir = new QLineEdit(panel_chooseFile);
    edit_SelDir->setObjectName(u"edit_SelDir"_s);
    btn_Browse = new QPushButton(u"..."_s, panel_chooseFile);
    directoryRow->addWidget(edit_SelDir, 1);
    directoryRow->addWidget(btn_Browse);
    panel->addWidget(lbl_SelectFile);
    panel->addLayout(directoryRow);
    layout->addWidget(panel_chooseFile);
    panel_chooseFile->hide();

    LV_DLFiles = new QTreeView(this);
    LV_DLFiles->setObjectName(u"LV_DLFiles"_s);
    LV_DLFiles->setRootIsDecorated(false);
    LV_DLFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LV_DLFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV_DLFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    // Every row is one line: a changed row is then not measured again, which on each progress
    // step cost the window's thread more than painting it.
    LV_DLFiles->setUniformRowHeights(true);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortCaseSensitivity(Qt::CaseInsensitive);
    LV_DLFiles->setModel(m_sorted);
    LV_DLFiles->header()->setStretchLastSection(false);
    // The name gets what the number, the size and the progress leave, so a long name shows.
    // Those three fit their contents again at most four times a second: measuring every row on
    // each change of one costs the transfer more than it shows.
    LV_DLFiles->header()->setSectionResizeMode(QHeaderView::Interactive);
    LV_DLFiles->header()->setSectionResizeMode(DownloadRowsModel::FileColumn, QHeaderView::Stretch);
    // Shown ten times a second: a window kept busy repainting takes the transfer's processor (each
    // progress bar that moves repaints at once).
    m_applyLatest = new QTimer(this);
    m_applyLatest->setSingleShot(true);
    m_applyLatest->setInterval(100);
    connect(m_applyLatest, &QTimer::timeout, this, &TDownloadFiles::applyLatest);
    m_fitColumns = new QTimer(this);
    m_fitColumns->setSingleShot(true);
    m_fitColumns->setInterval(250);
    connect(m_fitColumns, &QTimer::timeout, this, &TDownloadFiles::fitColumns);
    layout->addWidget(LV_DLFiles, 1);

    auto* bars = new QGridLayout;
    lbl_CurrFile = new QLabel(this);
    PB_CurrFile = new QProgressBar(this);
    PB_CurrFile->setRange(0, 100);
    lbl_Total = new QLabel(this);
    PB_Total = new QProgressBar(this);
    PB_Total->setObjectName(u"PB_Total"_s);
    bars->addWidget(lbl_CurrFile, 0, 0);
    bars->addWidget(PB_CurrFile, 0, 1);
    bars->addWidget(lbl_Total, 1, 0);
    bars->addWidget(PB_Total, 1, 1);
    layout->addLayout(bars);

    auto* buttons = new QHBoxLayout;
    btn_JumpToDLdir = new QPushButton(this);
    btn_OK_Start = new QPushButton(this);
    btn_OK_Start->setObjectName(u"btn_OK_Start"_s);
    btn_Cancel = new QPushButton(this);
    btn_Cancel->setObjectName(u"btn_Cancel"_s);
    buttons->addWidget(btn_JumpToDLdir);
    buttons->addStretch(1);
    buttons->addWidget(btn_OK_Start);
    buttons->addWidget(btn_Cancel);
    layout->addLayout(buttons);

    connect(btn_OK_Start, &QPushButton::clicked, this, &TDownloadFiles::btn_OK_StartClick);
    connect(btn_Cancel, &QPushButton::clicked, this, &TDownloadFiles::btn_CancelClick);
    connect(btn_JumpToDLdir, &QPushButton::clicked, this, &TDownloadFiles::btn_JumpToDLdirClick);
    connect(btn_Browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, lbl_SelectFile->text(), edit_SelDir->text());
        if (!chosen.isEmpty())
            edit_SelDir->setText(chosen + u'/');
    });
    connect(LV_DLFiles, &QTreeView::customContextMenuRequested, this, &TDownloadFiles::showPopup);
    connect(LV_DLFiles, &QTreeView::doubleClicked, this, &TDownloadFiles::rowDoubleClicked);
}

void TDownloadFiles::retranslate() {
    setWindowTitle(text("CaptionsDownload", "Caption", "Download file(s)..."));
    lbl_SelectFile->setText(
        text("CaptionsDownload", "GbDownloadDir", "Please, select the directory of the downloaded file(s):"));
    lbl_CurrFile->setText(text("CaptionsDownload", "CurrentFile", "Current file:"));
    lbl_Total->setText(text("CaptionsDownload", "TotalProgress", "Total:"));
    btn_OK_Start->setText(m_askDirectory && !m_started ? text("Buttons", "BtnStartDownload", "Start")
                                                       : text("Buttons", "BtnOK", "OK"));
    btn_Cancel->setText(text("Buttons", "BtnCancel", "Cancel"));
    btn_JumpToDLdir->setText(text("Buttons", "BtnJumpToDlDir", "Jump to Downloads..."));
    m_model->retranslate();
    fitColumns();
}

void TDownloadFiles::fitColumns() {
    for (const int column :
         {DownloadRowsModel::IdColumn, DownloadRowsModel::SizeColumn, DownloadRowsModel::ProgressColumn})
        LV_DLFiles->resizeColumnToContents(column);
}

void TDownloadFiles::fitColumnsSoon() {
    if (!m_fitColumns->isActive())
        m_fitColumns->start();
}

bool TDownloadFiles::prepare() {
    const DownloadRequestList& requests = m_sequence->build();
    if (requests.isEmpty())
        return false;
    m_model->setRequests(requests);
    fitColumns();
    PB_Total->setRange(0, 100 * std::max(1, m_model->count()));
    PB_Total->setValue(0);
    PB_CurrFile->setValue(0);
    btn_OK_Start->setEnabled(false);
    btn_Cancel->setEnabled(true);
    if (m_model->count() > 0)
        LV_DLFiles->setCurrentIndex(m_sorted->index(0, 0));

    const Settings& settings = m_parts.settings;
    const QString directory = settings.expandedDownloadDir(m_parts.system);
    edit_SelDir->setText(directory);
    // A folder that cannot be used is chosen by the user before anything is fetched.
    const QString parent = QFileInfo(WithoutTrailingSlash(directory)).absolutePath();
    m_askDirectory = settings.downloadDirDefaulted() || settings.values.downloadDir.trimmed().isEmpty() ||
                     (!QFileInfo(directory).isDir() && !IsDirectoryWritable(parent));
    if (!m_askDirectory && !QFileInfo(directory).isDir())
        QDir().mkpath(directory);
    panel_chooseFile->setVisible(m_askDirectory);
    retranslate();
    if (m_askDirectory) {
        btn_OK_Start->setEnabled(true);
        btn_OK_Start->setDefault(true);
    } else {
        startTransfer();
    }
    return true;
}

bool TDownloadFiles::isTransferring() const {
    return m_jobs->isRunning();
}

bool TDownloadFiles::transferHeld() const {
    return m_jobs->isRunning() && m_jobs->token().isHolding();
}

void TDownloadFiles::startTransfer() {
    m_started = true;
    edit_SelDir->setEnabled(false);
    btn_Browse->setEnabled(false);
    btn_OK_Start->setEnabled(false);
    btn_Cancel->setEnabled(true);
    retranslate();

    UpdateSequence* sequence = m_sequence.get();
    UpdatePass& pass = sequence->pass();
    // Called on the job's thread: the rows are copied there and shown here.
    pass.setRowChanged([this, &pass](int index) {
        const TransferRow row = pass.transfer().row(index);
        const std::lock_guard lock(m_latestMutex);
        m_latestRows.insert(index, row);
        queueLatest();
    });
    pass.setProgress([this](const TransferProgress& progress) {
        const std::lock_guard lock(m_latestMutex);
        m_latestProgress = progress;
        queueLatest();
    });
    // What an installation changed is applied here, on the list's own thread; the job goes on.
    pass.setFileInstalled([this](int index, const QString& itemPath, const InstallStepResult& result) {
        QMetaObject::invokeMethod(
            this, [this, index, itemPath, result] { fileInstalled(index, itemPath, result); },
            Qt::QueuedConnection);
    });
    m_jobs->start([sequence](const CancelToken& token, ProgressSink&) { sequence->run(token); },
                  [this](bool cancelled) { transferDone(cancelled); });
}

void TDownloadFiles::fileInstalled(int index, const QString& itemPath, const InstallStepResult& result) {
    const bool installed = result.outcome == InstallStepResult::Outcome::Installed;
    m_model->setInstalled(index, installed, result.rowStatus);
    if (installed || !result.rowStatus.isEmpty())
        emit rowNoted(itemPath, result.rowStatus);
    fitColumnsSoon();
    applyInstalled(index, result);
}

void TDownloadFiles::applyInstalled(int index, const InstallStepResult& result) {
    const QList<int> rows = m_sequence->applyInstalled(index, result);
    if (!rows.isEmpty())
        emit rowsRefreshed(rows);
}

void TDownloadFiles::applyRow(int index, const TransferRow& row) {
    m_model->updateTransfer(index, row);
    // Transfers run side by side: the furthest one started is the current one.
    if (row.state == TransferState::Retrieving || row.state == TransferState::Fetching)
        m_model->setCurrent(std::max(index, m_model->current()));
}

// Called with m_latestMutex held.
void TDownloadFiles::queueLatest() {
    if (m_latestQueued)
        return;
    m_latestQueued = true;
    QMetaObject::invokeMethod(m_applyLatest, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

void TDownloadFiles::applyLatest() {
    std::optional<TransferProgress> progress;
    QMap<int, TransferRow> rows;
    {
        const std::lock_guard lock(m_latestMutex);
        progress.swap(m_latestProgress);
        rows.swap(m_latestRows);
        m_latestQueued = false;
    }
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        applyRow(it.key(), it.value());
    if (progress)
        applyProgress(*progress);
    if (!rows.isEmpty())
        fitColumnsSoon();
}

void TDownloadFiles::applyProgress(const TransferProgress& progress) {
    // Every running row shows its own percentage; this bar shows them together.
    PB_CurrFile->setValue(progress.runningPercent);
    PB_Total->setValue(std::min(PB_Total->maximum(), progress.totalPercent));
    m_taskbar.setProgress(PB_Total->value(), PB_Total->maximum());
}

void TDownloadFiles::transferDone(bool cancelled) {
    // The last rows the pass reported are shown before its end.
    m_applyLatest->stop();
    applyLatest();
    cancelled = cancelled || m_sequence->pass().cancelled();
    if (!cancelled) {
        PB_CurrFile->setValue(PB_CurrFile->maximum());
        PB_Total->setValue(PB_Total->maximum());
    }
    m_taskbar.hide();
    m_model->setFinished(true);
    LV_DLFiles->setSortingEnabled(true);
    LV_DLFiles->sortByColumn(DownloadRowsModel::IdColumn, Qt::AscendingOrder);
    // With the sort indicators in the headers.
    m_fitColumns->stop();
    fitColumns();
    btn_Cancel->setEnabled(false);
    btn_OK_Start->setEnabled(true);
    btn_OK_Start->setDefault(true);
    if (m_askDirectory) {
        edit_SelDir->setEnabled(true);
        btn_Browse->setEnabled(true);
    }
    if (const QString fatal = m_sequence->pass().transfer().fatalError(); !fatal.isEmpty())
        m_parts.prompter.tell(PromptIcon::Error, u"Cannot create file"_s, fatal);
    // Outcomes still queued to this thread are applied with the rest here.
    m_action = m_sequence->finish();
    emit passFinished();
    if (m_closeWhenDone)
        close();
}

void TDownloadFiles::btn_OK_StartClick() {
    if (m_askDirectory && !m_started) {
        QString directory = WithoutTrailingSlash(edit_SelDir->text().trimmed());
        if (directory.isEmpty())
            return;
        if (!QFileInfo(directory).isDir() && !QDir().mkpath(directory)) {
            m_parts.prompter.tell(PromptIcon::Error, text("ErrorMessages", "CaptionError", "Error"),
                                  u"Cannot create file"_s + u"\n\n"_s + QDir::toNativeSeparators(directory));
            return;
        }
        m_parts.settings.values.downloadDir = directory + u'/';
        m_sequence->pass().transfer().setDownloadDirectory(directory);
        m_askDirectory = false;
        startTransfer();
        return;
    }
    if (isTransferring())
        return;
    const QString directory = WithoutTrailingSlash(edit_SelDir->text().trimmed());
    if (!directory.isEmpty() && QFileInfo(directory).isDir())
        m_parts.settings.values.downloadDir = directory + u'/';
    close();
}

void TDownloadFiles::btn_CancelClick() {
    if (!isTransferring()) {
        close();
        return;
    }
    // Nothing goes on behind the question: the transfer holds at its next block and the next
    // installation does not start until the answer.
    const CancelToken token = m_jobs->token();
    token.pause();
    const PromptAnswer answer = m_parts.prompter.ask(
        PromptIcon::Warning, PromptButtons::YesNo, text("ErrorMessages", "CaptionWarning", "Warning"),
        text("ErrorMessages", "AbortTask", "Are you sure you want to abort the current task?"));
    if (answer != PromptAnswer::Yes) {
        token.resume();
        return;
    }
    if (!isTransferring()) {
        close(); // it ended while the question was open (an installation in progress finished)
        return;
    }
    m_closeWhenDone = true;
    btn_Cancel->setEnabled(false);
    m_jobs->cancel();
}

void TDownloadFiles::btn_JumpToDLdirClick() {
    const QString directory = WithoutTrailingSlash(edit_SelDir->text().trimmed());
    if (!directory.isEmpty())
        jumpTo({directory});
}

QList<int> TDownloadFiles::selectedIndexes() const {
    QList<int> indexes;
    const QModelIndexList rows = LV_DLFiles->selectionModel()->selectedRows();
    for (const QModelIndex& index : rows) {
        const int source = m_sorted->mapToSource(index).row();
        indexes.append(m_model->row(source).transfer.id.toInt() - 1);
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

void TDownloadFiles::ReinstallUpdate1Click() {
    if (!m_model->finished() || isTransferring())
        return;
    const QList<int> indexes = selectedIndexes();
    if (indexes.isEmpty())
        return;
    LV_DLFiles->sortByColumn(DownloadRowsModel::IdColumn, Qt::AscendingOrder);
    btn_OK_Start->setEnabled(false);
    UpdatePass* pass = &m_sequence->pass();
    auto results = std::make_shared<QList<std::pair<int, InstallStepResult>>>();
    m_jobs->start(
        [pass, indexes, results](const CancelToken& token, ProgressSink&) {
            for (const int index : indexes) {
                if (token.isCancelled())
                    return;
                results->append({index, pass->reinstall(index)});
            }
        },
        [this, results](bool) {
            for (const auto& [index, result] : std::as_const(*results))
                applyInstalled(index, result);
            btn_OK_Start->setEnabled(true);
        });
}

void TDownloadFiles::DirectDL1Click() {
    for (const int index : selectedIndexes()) {
        const QString url = m_model->row(index).transfer.url;
        if (IsValidUrl(url))
            QDesktopServices::openUrl(QUrl(url));
    }
}

void TDownloadFiles::Authorhomepage1Click() {
    for (const int index : selectedIndexes()) {
        const QString url = m_model->row(index).authorUrl;
        if (IsValidUrl(url))
            QDesktopServices::openUrl(QUrl(url));
    }
}

void TDownloadFiles::Jumptothefile1Click() {
    QStringList files;
    for (const int index : selectedIndexes()) {
        const QString path = m_model->row(index).transfer.localPath;
        if (!path.isEmpty() && QFileInfo(path).isFile())
            files.append(path);
    }
    // A Windows program is never started from here: it would run outside Total Commander's
    // prefix. Every file is shown where it lies.
    if (!files.isEmpty())
        jumpTo(files);
}

void TDownloadFiles::showPopup(const QPoint& position) {
    if (!LV_DLFiles->selectionModel()->hasSelection())
        return;
    const QList<int> indexes = selectedIndexes();
    const bool shortcuts = m_parts.settings.values.showMenuShortcuts;
    QMenu menu(this);
    const auto add = [&](const QString& caption, bool enabled, const QKeySequence& keys, auto handler) {
        QAction* action = menu.addAction(caption, this, handler);
        action->setEnabled(enabled);
        if (shortcuts)
            action->setShortcut(keys);
    };
    const bool oneWithFile =
        indexes.size() == 1 && QFileInfo(m_model->row(indexes.first()).transfer.localPath).isFile();
    add(text("Popup02DownloadFrm", "ReinstallUpdate", "Reinstall / Update"),
        m_model->finished() && !isTransferring() && (indexes.size() > 1 || oneWithFile),
        QKeySequence(Qt::CTRL | Qt::Key_I), &TDownloadFiles::ReinstallUpdate1Click);
    add(text("CaptionsUserDB", "DirectDLLink", "Direct download") + u"..."_s, true,
        QKeySequence(Qt::CTRL | Qt::Key_D), &TDownloadFiles::DirectDL1Click);
    add(text("CaptionsUserDB", "AuthorURL", "Author homepage") + u"..."_s,
        IsValidUrl(m_model->row(indexes.first()).authorUrl), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A),
        &TDownloadFiles::Authorhomepage1Click);
    add(text("Popup01MainFrm", "JumpToFile", "Jump to the file..."), true,
        QKeySequence(Qt::CTRL | Qt::Key_PageDown), &TDownloadFiles::Jumptothefile1Click);
    menu.exec(LV_DLFiles->viewport()->mapToGlobal(position));
}

void TDownloadFiles::rowDoubleClicked(const QModelIndex& index) {
    const int source = m_sorted->mapToSource(index).row();
    const DownloadRowsModel::Row& row = m_model->row(source);
    const bool complete = row.outcome == DownloadRowsModel::Outcome::Complete ||
                          row.outcome == DownloadRowsModel::Outcome::Installed;
    if (!complete) {
        if (IsValidUrl(row.transfer.url))
            QDesktopServices::openUrl(QUrl(row.transfer.url));
        return;
    }
    if (QFileInfo(row.transfer.localPath).isFile())
        jumpTo({row.transfer.localPath});
}

void TDownloadFiles::copyLinks() {
    QStringList links;
    for (const int index : selectedIndexes()) {
        QString url = m_model->row(index).transfer.url;
        if (const qsizetype cut = url.indexOf(u"&pkg="_s); cut >= 0)
            url.truncate(cut);
        links.append(url.trimmed());
    }
    if (!links.isEmpty())
        QApplication::clipboard()->setText(clipboardText(links.join(u"\r\n"_s)));
}

void TDownloadFiles::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Escape) {
        btn_CancelClick();
        return;
    }
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_A:
            LV_DLFiles->selectAll();
            return;
        case Qt::Key_C:
            copyLinks();
            return;
        case Qt::Key_J:
            btn_JumpToDLdirClick();
            return;
        case Qt::Key_I:
            ReinstallUpdate1Click();
            return;
        case Qt::Key_D:
            DirectDL1Click();
            return;
        case Qt::Key_PageDown:
        case Qt::Key_Up: {
            if (!LV_DLFiles->selectionModel()->hasSelection() && m_model->count() > 0)
                LV_DLFiles->setCurrentIndex(m_sorted->index(0, 0));
            QStringList files;
            for (const int index : selectedIndexes()) {
                const QString path = m_model->row(index).transfer.localPath;
                if (QFileInfo(path).isFile())
                    files.append(event->key() == Qt::Key_Up ? QFileInfo(path).absolutePath() : path);
            }
            if (!files.isEmpty())
                jumpTo(files);
            return;
        }
        default:
            break;
        }
    }
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_A) {
        Authorhomepage1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDownloadFiles::jumpTo(const QStringList& files) {
    // Under Wine a call to Total Commander's window starts the bridge: never on this thread.
    System* system = &m_parts.system;
    m_tcCalls->start([system, files](const CancelToken&, ProgressSink&) { jumpToFiles(*system, files); },
                     [](bool) {});
}

void TDownloadFiles::closeEvent(QCloseEvent* event) {
    if (isTransferring()) {
        event->ignore();
        btn_CancelClick();
        return;
    }
    WriteWindowSize(m_parts.settingsStore, kDownloadFormSize, width(), height());
    // Partial files and packages marked for deletion go with the window.
    m_sequence->cleanUp();
    QDialog::closeEvent(event);
}

} // namespace quillon::ui
