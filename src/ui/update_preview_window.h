#pragma once
// What downloading and installing the marked rows would do, before anything is done: per
// request the link, the file and its size, and for a package that would be installed the files
// it would write and replace and what the backup would hold. The dry run is a job; the window
// shows its progress and can cancel it.
#include <QDialog>

#include <memory>

#include "engine/update_preview.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTreeView;

namespace quillon {
class Language;
}

namespace quillon::ui {

class JobRunner;

class TUpdatePreview : public QDialog {
    Q_OBJECT
public:
    TUpdatePreview(const Language& language, std::unique_ptr<UpdatePreview> preview,
                   QWidget* parent = nullptr);
    ~TUpdatePreview() override;

    // Builds the requests and starts the dry run; false when there is nothing to preview.
    bool start();
    bool isRunning() const;
    // Requests as parents, what would happen to each as children.
    QStandardItemModel& plan() { return *m_plan; }

signals:
    void previewFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showPlan(const UpdatePreviewResult& result);
    QString text(const char* section, const char* key, const char* english) const;

    const Language& m_language;
    std::unique_ptr<UpdatePreview> m_preview;
    JobRunner* m_jobs = nullptr;
    QStandardItemModel* m_plan = nullptr;
    QTreeView* m_view = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace quillon::ui
