#include "ui/update_preview_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/common/dates.h"
#include "ui/job_runner.h"
#include "ui/ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

TUpdatePreview::TUpdatePreview(const Language& language, std::unique_ptr<UpdatePreview> preview,
                               QWidget* parent)
    : QDialog(parent), m_language(language), m_preview(std::move(preview)), m_jobs(new JobRunner(this)),
      m_plan(new QStandardItemModel(this)) {
    setObjectName(u"TUpdatePreview"_s);
    setWindowTitle(text("CaptionsPreview", "Caption", "Preview of the update"));
    auto* layout = new QVBoxLayout(this);
    m_plan->setHorizontalHeaderLabels({text("CaptionsPreview", "ColumnWhat", "Request / file"),
                                       text("CaptionsPreview", "ColumnHow", "What would happen")});
    m_view = new QTreeView(this);
    m_view->setModel(m_plan);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_view, 1);
    auto* bottom = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_cancel = new QPushButton(uiText(language, "Buttons", "BtnCancel", "Cancel"), this);
    m_cancel->setObjectName(u"btn_Cancel"_s);
    auto* ok = new QPushButton(uiText(language, "Buttons", "BtnOK", "OK"), this);
    bottom->addWidget(m_progress, 1);
    bottom->addWidget(m_cancel);
    bottom->addWidget(ok);
    layout->addLayout(bottom);
    connect(m_cancel, &QPushButton::clicked, m_jobs, &JobRunner::cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    resize(640, 420);
}

TUpdatePreview::~TUpdatePreview() {
    m_jobs->cancelAndWait();
}

QString TUpdatePreview::text(const char* section, const char* key, const char* english) const {
    return uiText(m_language, section, key, english);
}

bool TUpdatePreview::isRunning() const {
    return m_jobs->isRunning();
}

bool TUpdatePreview::start() {
    const DownloadRequestList& requests = m_preview->buildRequests();
    if (requests.isEmpty())
        return false;
    m_progress->setRange(0, 100 * static_cast<int>(requests.size()));
    m_preview->setProgress([this](const TransferProgress& progress) {
        const int value = progress.totalPercent;
        QMetaObject::invokeMethod(
            this, [this, value] { m_progress->setValue(value); }, Qt::QueuedConnection);
    });
    auto result = std::make_shared<UpdatePreviewResult>();
    UpdatePreview* preview = m_preview.get();
    m_jobs->start(
        [preview, result](const CancelToken& token, ProgressSink&) { *result = preview->run(token); },
        [this, result](bool) { showPlan(*result); });
    return true;
}

void TUpdatePreview::showPlan(const UpdatePreviewResult& result) {
    m_cancel->setEnabled(false);
    m_progress->setValue(m_progress->maximum());
    const auto row = [](const QString& what, const QString& how) {
        return QList<QStandardItem*>{new QStandardItem(what), new QStandardItem(how)};
    };
    const auto files = [&](QStandardItem* parent, const QStringList& paths, const QString& how) {
        for (const QString& path : paths)
            parent->appendRow(row(QDir::toNativeSeparators(path), how));
    };
    for (const RequestPreview& request : result.requests) {
        QString how;
        if (request.cancelled)
            how = text("CaptionsPreview", "Cancelled", "not reached: cancelled");
        else if (!request.error.isEmpty())
            how = text("CaptionsPreview", "WouldFail", "would fail:") + u' ' + request.error;
        else if (request.install.installs)
            how = text("CaptionsPreview", "WouldInstall", "would be downloaded and installed");
        else
            how = text("CaptionsPreview", "WouldDownload", "would be downloaded");
        if (request.size >= 0)
            how += u" (" +
                   FormatByteSize(static_cast<quint32>(std::min<qint64>(request.size, 0xFFFFFFFFLL))) + u')';
        QList<QStandardItem*> parent = row(QDir::toNativeSeparators(request.item), how);
        parent.first()->appendRow(row(request.url, text("CaptionsPreview", "From", "link")));
        if (!request.file.isEmpty())
            parent.first()->appendRow(
                row(QDir::toNativeSeparators(request.file), text("CaptionsPreview", "SavedAs", "saved as")));
        const InstallPreview& install = request.install;
        if (install.installs) {
            if (!install.error.isEmpty())
                parent.first()->appendRow(
                    row(install.itemDir,
                        text("CaptionsPreview", "WouldFail", "would fail:") + u' ' + install.error));
            QStringList added = install.writes;
            for (const QString& replaced : install.replaces)
                added.removeAll(replaced);
            files(parent.first(), install.replaces, text("CaptionsPreview", "Replaces", "replaced"));
            files(parent.first(), added, text("CaptionsPreview", "Writes", "written"));
            files(parent.first(), install.removes, text("CaptionsPreview", "Removes", "deleted afterwards"));
            if (!install.backupArchive.isEmpty())
                parent.first()->appendRow(
                    row(QDir::toNativeSeparators(install.backupArchive),
                        text("CaptionsPreview", "Backup", "backup of the replaced files") + u" (" +
                            QString::number(install.backupAdds.size()) + u')'));
        }
        m_plan->appendRow(parent);
    }
    for (const QString& error : result.errors)
        m_plan->appendRow(row(error, QString()));
    m_view->expandAll();
    emit previewFinished();
}

void TUpdatePreview::closeEvent(QCloseEvent* event) {
    // A running dry run is cancelled; the window goes once it has stopped.
    if (m_jobs->isRunning()) {
        m_jobs->cancel();
        event->ignore();
        connect(m_jobs, &JobRunner::finished, this, &QDialog::close, Qt::SingleShotConnection);
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace quillon::ui
