#include "engine/update_preview.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include "app/settings.h"
#include "engine/app_core.h"
#include "engine/installer_context.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

UpdatePassOptions previewOptions(UpdatePassOptions options) {
    options.preview = true;
    // Its answer would go into the settings; a preview changes none.
    options.askInstallQuestion = false;
    options.askPackage = false;
    return options;
}

} // namespace

UpdatePreview::UpdatePreview(AppCore& core, Prompter& prompter, UpdatePassOptions options)
    : m_pass(core, prompter, previewOptions(options)) {
    InstallerContext context = InstallerContextFromCore(core, &prompter);
    // Rows are not refreshed: nothing is installed.
    context.refreshRows = {};
    context.detectTcVersion = {};
    context.replaceProgramConfirmed = options.replaceProgramConfirmed;
    if (options.install == InstallChoice::Always)
        context.installAfterDownload = true;
    m_installer.emplace(std::move(context));
}

UpdatePreview::~UpdatePreview() = default;

const DownloadRequestList& UpdatePreview::buildRequests() {
    return m_pass.buildRequests();
}

void UpdatePreview::setRowChanged(std::function<void(int)> rowChanged) {
    m_pass.setRowChanged(std::move(rowChanged));
}

void UpdatePreview::setProgress(std::function<void(const TransferProgress&)> progress) {
    m_pass.setProgress(std::move(progress));
}

UpdatePreviewResult UpdatePreview::run(const CancelToken& cancel) {
    UpdatePreviewResult result;
    // Packages and their unpacked files live here only; the folder goes when this returns.
    QTemporaryDir scratch(QDir::tempPath() + u"/quillon-preview-XXXXXX"_s);
    if (!scratch.isValid()) {
        result.errors.append(u"no temporary folder for the preview: %1"_s.arg(scratch.errorString()));
        return result;
    }
    InstallerContext context = *m_installer;
    // The pass unpacks in the real temporary directory: a preview that cannot say so there would
    // promise an installation that then fails.
    if (context.tempDirectoryRefusal.isEmpty())
        context.tempDirectoryRefusal = TemporaryDirectoryProblem(context.tempDirectory, false);
    context.tempDirectory = scratch.path() + u"/unpack"_s;
    QDir().mkpath(context.tempDirectory);
    Installer installer(std::move(context));
    installer.setCancelToken(cancel);
    auto installs = [this, &installer](const DownloadRequest& request) {
        return m_pass.installsRequest(request) && installer.wouldInstall(request);
    };

    TransferEngine& engine = m_pass.transfer();
    // The database's place is known without its file; any other package is looked into.
    engine.setPreview([&](int index, const DownloadRequest& request) -> QString {
        if (request.Category == category::PluginDb || !installs(request))
            return {};
        const QString folder = scratch.path() + u"/package"_s + QString::number(index);
        return QDir().mkpath(folder) ? folder : QString();
    });
    QHash<int, InstallPreview> looked;
    // Each folder's requests go in the pass's order: each finds the folder as those before it leave it.
    EarlierInstalls earlier;
    engine.setAfterFile([&](int index, const DownloadRequest& request, const QString& localFile) {
        looked.insert(index, installer.previewStep(request, localFile, &earlier));
        QFile::remove(localFile); // the next package need not share the disk with it
    });
    m_pass.run(cancel);
    result.errors = m_pass.errors();
    result.cancelled = m_pass.cancelled();

    const DownloadRequestList& requests = engine.requests();
    const QList<TransferRow>& rows = engine.rows();
    for (int i = 0; i < requests.size(); ++i) {
        const DownloadRequest& request = requests.at(i);
        RequestPreview preview;
        preview.item = request.ItemPath;
        preview.url = request.Url;
        const TransferRow* row = i < rows.size() ? &rows.at(i) : nullptr;
        if (!row || row->state != TransferState::Done) {
            preview.cancelled = row ? row->state == TransferState::Cancelled : result.cancelled;
            preview.error = preview.cancelled              ? u"cancelled"_s
                            : row && !row->error.isEmpty() ? row->error
                                                           : u"not resolved"_s;
            if (row && !row->url.isEmpty())
                preview.url = row->url;
            result.requests.append(preview);
            continue;
        }
        preview.url = row->url;
        preview.file = request.LocalArchive;
        preview.size = row->size;
        if (looked.contains(i))
            preview.install = looked.value(i);
        else if (request.Category == category::PluginDb && installs(request))
            preview.install = installer.previewStep(request, QString());
        else if (installs(request))
            preview.install.error = u"the package was not looked into"_s;
        preview.install.installs = preview.install.installs || installs(request);
        result.requests.append(preview);
    }
    return result;
}

} // namespace quillon
