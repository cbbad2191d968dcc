#include "engine/update_pass.h"

#include <QDir>
#include <QStringDecoder>

#include <algorithm>

#include "app/language.h"
#include "app/settings.h"
#include "engine/app_core.h"
#include "engine/check_run.h"
#include "engine/installer_context.h"
#include "inventory/update_list.h"
#include "updatecheck/page_fetcher.h"
#include "updatecheck/page_links.h"
#include "updatecheck/proxy_config.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// File-host pages are read as UTF-8 (their links may carry non-ASCII names); a page that is
// no valid UTF-8 is read in the ANSI code page, as every other page.
QString decodeHostPage(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? DecodeAnsiPage(bytes) : text;
}

// Pages the transfer reads for links go out as the update check's pages do (proxy,
// time-outs), carry the pass's cookies and stop with the pass.
HttpResponse readPage(const PageFetcher& reader, TransferEngine& engine, const QString& url) {
    HttpRequest request = reader.requestFor(url);
    request.cookies = &engine.cookies();
    request.progress = [&engine](qint64, qint64) { return !engine.cancelled(); };
    return HttpClient::perform(request);
}

} // namespace

UpdatePass::UpdatePass(AppCore& core, Prompter& prompter, UpdatePassOptions options)
    : m_core(core), m_prompter(prompter), m_options(std::move(options)) {}

UpdatePass::~UpdatePass() = default;

const DownloadRequestList& UpdatePass::buildRequests() {
    SettingValues& values = m_core.settings().values;
    const UpdateCheckState& state = m_core.updateCheckState();
    const QString downloadDir = m_core.settings().expandedDownloadDir(m_core.system());
    const PackageChoice storedPackage = values.tcDownloadPackage;
    // The settings as they are now: a proxy or a folder changed a moment ago counts.
    m_pageReader = std::make_unique<PageFetcher>(FetchSettings::fromSettings(values), m_core.language());
    RequestContext context{
        m_core.updateList(),
        m_core.stores().userDb,
        m_core.stores().pluginDb,
        DatabaseSwitches{values.databaseEnabled, values.ignoreUserDb},
        state.OnlineRecords,
        values,
        downloadDir,
        m_core.commandLine().safe(),
        state.TcAnnouncedLink,
        // Total Commander's download page goes through the proxy and limits every page has.
        [this](const QString& url) {
            const HttpResponse response = HttpClient::perform(m_pageReader->requestFor(url));
            return response.ok() ? GetPageLinks(response.finalUrl, response.body) : QStringList();
        },
        [this, storedPackage]() -> std::optional<PackageSelection> {
            if (m_options.askPackage)
                return m_prompter.choosePackage(storedPackage);
            return PackageSelection{storedPackage, false};
        },
        m_options.askInstallQuestion,
        {},
    };
    const bool forceInstall = m_options.install == InstallChoice::Always;
    m_requests = StartDownloadProcess(context, m_prompter, m_core.language(), m_core.windowCaption(),
                                      !m_options.externalManager, m_options.forceItem, forceInstall,
                                      m_options.rows, false);
    // The user's answers are kept; a preview changes no setting.
    if (!m_options.preview)
        ApplyRequestChoices(values, context.choices);

    TransferSettings transfer;
    transfer.rules = HostRules::fromSettings(values);
    const ProxySetup proxy = ProxyFromSettings(values);
    m_proxyUsable = proxy.ok;
    transfer.proxy = proxy.proxy;
    transfer.httpTimeOutMs = values.httpTimeOut;
    transfer.lowSpeedBytes = values.lowSpeedBytes;
    transfer.lowSpeedSeconds = values.lowSpeedSeconds;
    transfer.parallelDownloads = values.parallelDownloads;
    transfer.downloadDir = downloadDir;
    transfer.packageChoice = context.packageChoice();
    transfer.tcPackagePage =
        TcPackagePage(values.siteTotalCommander, state.TcAnnouncedLink, values.tcDoNotAcceptBeta);
    transfer.catalogueBase = values.siteCatalogue;
    m_engine = std::make_unique<TransferEngine>(m_requests, transfer);
    m_engine->setPageLinks([this](const QString& url) {
        const HttpResponse response = readPage(*m_pageReader, *m_engine, url);
        return response.ok() ? GetPageLinks(response.finalUrl, response.body) : QStringList();
    });
    m_engine->setPageText([this](const QString& url) {
        const HttpResponse response = readPage(*m_pageReader, *m_engine, url);
        return response.ok() ? decodeHostPage(response.body) : QString();
    });
    m_engine->setAfterFile([this](int index, const DownloadRequest& request, const QString& localFile) {
        installFinishedFile(index, request, localFile);
    });

    InstallerContext installer = InstallerContextFromCore(m_core, &m_prompter);
    installer.replaceProgramConfirmed = m_options.replaceProgramConfirmed;
    if (m_options.install == InstallChoice::Always)
        installer.installAfterDownload = true;
    m_installer = std::make_unique<Installer>(std::move(installer));

    // The installer unpacks below the temporary directory; it must be there before the pass.
    if (!m_options.preview &&
        std::any_of(m_requests.begin(), m_requests.end(),
                    [this](const DownloadRequest& request) { return installs(request); }))
        QDir().mkpath(m_core.settings().expandedTempDirectory(m_core.system()));
    return m_requests;
}

void UpdatePass::setRowChanged(std::function<void(int)> rowChanged) {
    m_engine->setRowChanged(std::move(rowChanged));
}

void UpdatePass::setProgress(std::function<void(const TransferProgress&)> progress) {
    m_engine->setProgress(std::move(progress));
}

bool UpdatePass::installs(const DownloadRequest& request) const {
    if (request.Category == category::PluginDb)
        return true;
    return m_options.install != InstallChoice::Never && request.installAfterDownload();
}

void UpdatePass::installFinishedFile(int index, const DownloadRequest& request, const QString& localFile) {
    while (m_installs.size() <= index)
        m_installs.append(InstallStepResult{});
    m_anyInstallRequest = m_anyInstallRequest || request.installAfterDownload();
    if (installs(request))
        m_installs[index] = m_installer->installStep(request, localFile);
    if (m_fileInstalled)
        m_fileInstalled(index, request.ItemPath, m_installs.at(index));
}

void UpdatePass::run(const CancelToken& cancel) {
    m_engine->setCancelToken(cancel);
    m_installer->setCancelToken(cancel);
    // Not even Total Commander's package page is read past a proxy that cannot be used.
    if (!m_proxyUsable) {
        m_errors.append(u"the proxy of the settings cannot be used"_s);
        return;
    }
    m_engine->prepare();
    m_engine->run();
    while (m_installs.size() < m_engine->rows().size())
        m_installs.append(InstallStepResult{});
    if (!m_engine->fatalError().isEmpty())
        m_errors.append(m_engine->fatalError());
}

EndOfPassAction UpdatePass::finish() {
    // A cancelled pass asks nothing more: the user wants it over. What it did stays reported.
    EndOfPassAction action = EndOfPassAction::None;
    if (!m_engine->cancelled())
        action = m_installer->endOfPass(m_anyInstallRequest);
    return action;
}

InstallStepResult UpdatePass::reinstall(int index) {
    const QList<TransferRow>& rows = m_engine->rows();
    if (index < 0 || index >= rows.size() || index >= m_engine->requests().size() ||
        rows.at(index).localPath.isEmpty())
        return {};
    InstallStepResult result =
        m_installer->installStep(m_engine->requests().at(index), rows.at(index).localPath, true);
    while (m_installs.size() <= index)
        m_installs.append(InstallStepResult{});
    m_installs[index] = result;
    return result;
}

void UpdatePass::cleanUp() {
    if (!m_engine)
        return;
    m_engine->cleanupList() += m_installer->cleanupList();
    m_engine->runCleanup();
}

bool UpdatePass::restartRequired() const {
    return m_installer && m_installer->selfUpdateState() == SelfUpdateState::RestartPending;
}

} // namespace quillon
