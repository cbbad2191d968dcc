#pragma once
// A dry run of the download-and-install pass: the same requests, links, file names and sizes as
// UpdatePass finds them, and for each package that would be installed the files it would write
// and replace and what its backup would hold. Nothing of the user's is written: a package that
// would be installed is fetched into a private temporary folder and unpacked there to know its
// files, and that folder is removed before run() returns; the others are only asked for (HEAD).
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "app/job_control.h"
#include "engine/update_pass.h"
#include "install/install_preview.h"

namespace quillon {

struct RequestPreview {
    QString item;     // the row's file
    QString url;      // the link the package would come from, after redirects
    QString file;     // where the pass would save it
    qint64 size = -1; // as the server gave it
    // Why the pass would fail the request ("cancelled" after a cancel); the installation's own
    // failure is install.error.
    QString error;
    bool cancelled = false;
    InstallPreview install; // install.installs false: it would only be downloaded
};

struct UpdatePreviewResult {
    QList<RequestPreview> requests;
    QStringList errors; // why the pass could not do its work at all
    bool cancelled = false;
};

class UpdatePreview {
public:
    // The options as the pass would get them; the pass's questions are not asked.
    UpdatePreview(AppCore& core, Prompter& prompter, UpdatePassOptions options);
    ~UpdatePreview();
    UpdatePreview(const UpdatePreview&) = delete;
    UpdatePreview& operator=(const UpdatePreview&) = delete;

    // Owner's thread, first: the requests as the pass builds them; the settings are left as
    // they were (a package chosen for the preview is not remembered).
    const DownloadRequestList& buildRequests();

    // Called on the thread that runs the preview; set before run().
    void setRowChanged(std::function<void(int index)> rowChanged);
    void setProgress(std::function<void(const TransferProgress&)> progress);

    // The pass's transfer, for a progress display (after buildRequests()).
    const TransferEngine& transfer() const { return m_pass.transfer(); }

    // Any thread: every request resolved in turn. A cancel ends it within one network wait
    // slice; the requests not reached are reported cancelled.
    UpdatePreviewResult run(const CancelToken& cancel);

private:
    UpdatePass m_pass;
    std::optional<InstallerContext> m_installer; // built on the owner's thread
};

} // namespace quillon
