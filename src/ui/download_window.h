#pragma once
// The download window: the requests of one download-and-install pass with their progress. The
// pass runs as a job; the window shows every row as it changes, cancels within a network wait
// slice, applies what each installation changed to the main list on its own thread and, when it closes,
// removes what the pass left to clean up.
#include <QDialog>
#include <QMap>

#include <memory>
#include <mutex>
#include <optional>

#include "engine/update_sequence.h"
#include "taskbar_progress.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTimer;
class QTreeView;
class QWidget;

namespace quillon {
class IniDocument;
class Language;
class Prompter;
class Settings;
class System;
} // namespace quillon

namespace quillon::ui {

class DownloadRowsModel;
class JobRunner;

// What the window reads and changes beside its pass.
struct DownloadWindowParts {
    const Language& language;
    Settings& settings;         // the download folder, chosen here when it cannot be used
    System& system;             // Total Commander's window for "Jump to the file"
    IniDocument& settingsStore; // the window's size
    Prompter& prompter;
};

class TDownloadFiles : public QDialog {
    Q_OBJECT
public:
    TDownloadFiles(const DownloadWindowParts& parts, std::unique_ptr<UpdateSequence> sequence,
                   QWidget* parent = nullptr);
    ~TDownloadFiles() override;

    // Builds the requests (this may ask the one-time install question and which Total
    // Commander package to take). False when there is nothing to download; the window is
    // then not to be shown. Otherwise the transfer starts at once, or after the user confirmed
    // the download folder when none is usable.
    bool prepare();

    // What the main window does after the pass (reload and check, restart).
    EndOfPassAction endOfPassAction() const { return m_action; }
    bool isTransferring() const;
    // Held while "abort the current task?" is asked: no block is fetched, no package installed.
    bool transferHeld() const;
    DownloadRowsModel& rows() { return *m_model; }
    QTreeView& view() { return *LV_DLFiles; }

    void retranslate();

    // The window's commands, by their names in the window.
    void btn_OK_StartClick();
    void btn_CancelClick();
    void btn_JumpToDLdirClick();
    void ReinstallUpdate1Click();
    void DirectDL1Click();
    void Authorhomepage1Click();
    void Jumptothefile1Click();

signals:
    // Rows of the main list changed by an installation (applied on this thread).
    void rowsRefreshed(const QList<int>& rows);
    // The pass is over (finished or cancelled) and its closing messages were shown.
    void passFinished();
    // A main list row's installation was taken back, and why; an empty note: it went in.
    void rowNoted(const QString& filePath, const QString& note);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void startTransfer();
    void transferDone(bool cancelled);
    void fileInstalled(int index, const QString& itemPath, const InstallStepResult& result);
    void applyInstalled(int index, const InstallStepResult& result);
    void applyRow(int index, const TransferRow& row);
    void applyProgress(const TransferProgress& progress);
    void queueLatest();
    void fitColumns();
    void fitColumnsSoon();
    void applyLatest();
    void showPopup(const QPoint& position);
    void rowDoubleClicked(const QModelIndex& index);
    void copyLinks();
    QList<int> selectedIndexes() const; // request indexes of the selected rows
    void jumpTo(const QStringList& files);
    QString text(const char* section, const char* key, const char* english) const;

    DownloadWindowParts m_parts;
    std::unique_ptr<UpdateSequence> m_sequence;
    JobRunner* m_jobs = nullptr;
    JobRunner* m_tcCalls = nullptr; // calls to Total Commander's window, one at a time
    QTimer* m_applyLatest = nullptr;
    QTimer* m_fitColumns = nullptr;
    // The transfer reports progress for every block it receives and a row for every percent;
    // the window shows the latest of each, with at most one apply waiting.
    std::mutex m_latestMutex;
    std::optional<TransferProgress> m_latestProgress;
    QMap<int, TransferRow> m_latestRows;
    bool m_latestQueued = false;
    DownloadRowsModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    EndOfPassAction m_action = EndOfPassAction::None;
    bool m_askDirectory = false;
    bool m_started = false;
    bool m_closeWhenDone = false;
    TaskbarProgress m_taskbar{this}; // PB_Total on the application icon

    QWidget* panel_chooseFile = nullptr;
    QLabel* lbl_SelectFile = nullptr;
    QLineEdit* edit_SelDir = nullptr;
    QPushButton* btn_Browse = nullptr;
    QTreeView* LV_DLFiles = nullptr;
    QLabel* lbl_CurrFile = nullptr;
    QProgressBar* PB_CurrFile = nullptr;
    QLabel* lbl_Total = nullptr;
    QProgressBar* PB_Total = nullptr;
    QPushButton* btn_OK_Start = nullptr;
    QPushButton* btn_Cancel = nullptr;
    QPushButton* btn_JumpToDLdir = nullptr;
};

} // namespace quillon::ui
