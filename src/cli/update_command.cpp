#include "cli/update_command.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "cli/check_command.h"
#include "cli/interrupt_guard.h"
#include "cli/terminal_text.h"
#include "cli/transfer_progress_printer.h"
#include "cli/update_report.h"
#include "engine/app_core.h"
#include "engine/check_run.h"
#include "engine/installer_context.h"
#include "install/installer.h"
#include "install/request_builder.h"
#include "install/transfer_engine.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "updatecheck/page_fetcher.h"
#include "updatecheck/page_links.h"
#include "updatecheck/proxy_config.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

// --yes: nobody is there, but the user agreed beforehand; messages still go to stderr.
class AgreeingPrompter : public Prompter {
public:
    AgreeingPrompter(Prompter& inner, bool agree) : m_inner(inner), m_agree(agree) {}
    // Called before every message, so that a progress line can make room.
    void setBeforeOutput(std::function<void()> beforeOutput) { m_beforeOutput = std::move(beforeOutput); }

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override {
        beforeOutput();
        if (!m_agree)
            return m_inner.ask(icon, buttons, caption, text);
        m_inner.tell(icon, caption, text);
        return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                                  : PromptAnswer::Yes;
    }
    void tell(PromptIcon icon, const QString& caption, const QString& text) override {
        beforeOutput();
        m_inner.tell(icon, caption, text);
    }
    QString chooseFile(const QString& caption, const QString& startPath) override {
        beforeOutput();
        return m_inner.chooseFile(caption, startPath);
    }

private:
    void beforeOutput() {
        if (m_beforeOutput)
            m_beforeOutput();
    }
    Prompter& m_inner;
    bool m_agree;
    std::function<void()> m_beforeOutput;
};

bool rowMatchesFile(const UpdateItem& item, const QString& file) {
    if (item.FilePath.compare(file, Qt::CaseInsensitive) == 0)
        return true;
    const QFileInfo info(file);
    if (info.isAbsolute() || file.contains(u'/'))
        return QFileInfo(item.FilePath)
                   .absoluteFilePath()
                   .compare(info.absoluteFilePath(), Qt::CaseInsensitive) == 0;
    return QFileInfo(item.FilePath).fileName().compare(file, Qt::CaseInsensitive) == 0;
}

// File-host pages are read as UTF-8 (their links may carry non-ASCII names); a page that is
// no valid UTF-8 is read in the ANSI code page, as every other page.
QString decodeHostPage(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? DecodeAnsiPage(bytes) : text;
}

// Pages the transfer reads for links go out as the update check's pages do (proxy,
// time-outs), carry the pass's cookies and stop with the pass.
HttpResponse readPage(const PageFetcher& fetcher, TransferEngine& engine, const QString& url) {
    HttpRequest request = fetcher.requestFor(url);
    request.cookies = &engine.cookies();
    request.progress = [&engine](qint64, qint64) { return !engine.cancelled(); };
    return HttpClient::perform(request);
}

} // namespace

UpdateOptions UpdateCommand::parse(const QStringList& arguments, QString* error) {
    UpdateOptions options;
    for (const QString& argument : arguments) {
        if (argument == "--install"_L1)
            options.install = true;
        else if (argument == "--all"_L1)
            options.all = true;
        else if (argument == "--yes"_L1)
            options.yes = true;
        else if (argument.startsWith(u'-') && argument.size() > 1 && argument.at(1) == u'-')
            *error = u"update: unknown option %1"_s.arg(argument);
        else
            options.files.append(argument);
    }
    if (options.all && !options.files.isEmpty())
        *error = u"update: --all and FILE exclude each other"_s;
    return options;
}

bool UpdateCommand::checkForUpdates(QStringList& errors) {
    // The core's fetcher and check state: the refresh after an installation reads that state.
    UpdateCheckRun run(m_core);
    const CheckRunResult checked = run.btn_SearchUpdatesClick();
    errors += checked.errors;
    // Without the catalogue nothing can be known to be updatable: that is a failed run.
    return CheckCommand::CatalogueGaveNothing(checked, m_core, m_err, errors);
}

QList<int> UpdateCommand::chosenRows(bool& failed) {
    const UpdateList& list = m_core.updateList();
    QList<int> rows;
    for (const QString& file : m_options.files) {
        int found = -1;
        for (int row = 0; row < list.rowCount() && found < 0; ++row) {
            if (rowMatchesFile(list.row(row), file))
                found = row;
        }
        if (found < 0) {
            m_err << "quillon-cli: no row for " << TerminalSafe(file) << Qt::endl;
            failed = true;
        } else if (list.state(found) != ItemState::Update) {
            m_err << "quillon-cli: " << TerminalSafe(file) << " has no update; skipped" << Qt::endl;
        } else if (!rows.contains(found)) {
            rows.append(found);
        }
    }
    if (m_options.files.isEmpty()) {
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.state(row) == ItemState::Update && (m_options.all || list.row(row).Checked))
                rows.append(row);
        }
    }
    return rows;
}

ReloadCounts UpdateCommand::reloadAndCheck(QStringList& errors, bool& failed) {
    errors += m_core.ReloadList().errors;
    failed = checkForUpdates(errors) || failed;
    const UpdateList& list = m_core.updateList();
    ReloadCounts counts;
    counts.items = list.rowCount();
    for (int row = 0; row < list.rowCount(); ++row)
        counts.updatable += list.state(row) == ItemState::Update;
    return counts;
}

int UpdateCommand::execute() {
    const InventoryPassResult pass = m_core.runInventoryPass();
    UpdateReport report;
    report.errors = pass.errors;
    if (!pass.configFound) {
        m_err << "quillon-cli: wincmd.ini was not found; nothing to update." << Qt::endl;
        return ExitFailed;
    }
    SettingValues& values = m_core.settings().values;
    bool failed = checkForUpdates(report.errors);
    const PageFetcher& fetcher = m_core.pageFetcher();
    const UpdateCheckState& state = m_core.updateCheckState();
    const QList<int> rows = chosenRows(failed);

    UpdateList& list = m_core.updateList();
    const QString downloadDir = m_core.settings().expandedDownloadDir(m_core.system());
    const int packageChoice = values.tcDownloadPackage;
    RequestContext requestContext{
        list,
        m_core.userDbStore(),
        m_core.pluginDbStore(),
        DatabaseSwitches{values.databaseEnabled, values.ignoreUserDb},
        state.OnlineRecords,
        values,
        downloadDir,
        m_core.commandLine().safe(),
        state.TcAnnouncedLink,
        [](const QString& url) { return GetPageLinks(url); },
        [packageChoice]() -> std::optional<PackageSelection> {
            return PackageSelection{packageChoice, false};
        },
    };
    AgreeingPrompter prompter(m_core.prompter(), m_options.yes);
    const DownloadRequestList requests =
        StartDownloadProcess(requestContext, prompter, m_core.language(), m_core.windowCaption(), true,
                             QString(), m_options.install, rows, false);

    // The installer unpacks below the temporary directory; it must be there before the pass.
    if (std::any_of(requests.begin(), requests.end(),
                    [](const DownloadRequest& request) { return request.installAfterDownload(); }))
        QDir().mkpath(m_core.settings().expandedTempDirectory(m_core.system()));

    TransferSettings transfer;
    transfer.rules = HostRules::fromSettings(values);
    const ProxySetup proxy = ProxyFromSettings(values);
    transfer.proxy = proxy.proxy;
    transfer.httpTimeOutMs = values.httpTimeOut;
    transfer.lowSpeedBytes = values.lowSpeedBytes;
    transfer.lowSpeedSeconds = values.lowSpeedSeconds;
    transfer.downloadDir = downloadDir;
    transfer.packageChoice = packageChoice;
    transfer.tcPackagePage =
        TcPackagePage(values.siteTotalCommander, state.TcAnnouncedLink, values.tcDoNotAcceptBeta);
    transfer.catalogueBase = values.siteCatalogue;
    TransferEngine engine(requests, transfer);
    engine.setPageLinks([&](const QString& url) {
        const HttpResponse response = readPage(fetcher, engine, url);
        return response.ok() ? GetPageLinks(response.finalUrl, response.body) : QStringList();
    });
    engine.setPageText([&](const QString& url) {
        const HttpResponse response = readPage(fetcher, engine, url);
        return response.ok() ? decodeHostPage(response.body) : QString();
    });
    TransferProgressPrinter printer(engine, m_err, TransferProgressPrinter::stderrIsTerminal());
    engine.setRowChanged([&printer](int index) { printer.rowChanged(index); });
    engine.setProgress([&printer](const TransferProgress& progress) { printer.progress(progress); });
    prompter.setBeforeOutput([&printer] { printer.clearLine(); });

    InstallerContext installerContext = InstallerContextFromCore(m_core, &prompter);
    installerContext.replaceProgramConfirmed = m_options.yes;
    Installer installer(std::move(installerContext));
    QList<InstallStepResult> installs;
    bool anyInstallRequest = false;
    engine.setAfterFile([&](int index, const DownloadRequest& request, const QString& localFile) {
        while (installs.size() <= index)
            installs.append(InstallStepResult{});
        anyInstallRequest = anyInstallRequest || request.installAfterDownload();
        if (m_options.install || request.Category == category::PluginDb)
            installs[index] = installer.installStep(request, localFile);
    });
    {
        const InterruptGuard interrupts(engine);
        // Not even Total Commander's package page is read past a proxy that cannot be used.
        if (proxy.ok) {
            engine.prepare();
            engine.run();
        } else {
            report.errors.append(u"the proxy of the settings cannot be used"_s);
        }
    }
    printer.clearLine();

    report.requests = RequestReports(engine, installs);
    if (!engine.fatalError().isEmpty()) {
        report.errors.append(engine.fatalError());
        failed = true;
    }
    // A cancelled pass asks nothing more: the user wants it over. What it did stays reported.
    EndOfPassAction action = EndOfPassAction::None;
    if (!engine.cancelled())
        action = installer.endOfPass(anyInstallRequest || m_options.install);
    report.restartRequired = installer.selfUpdateState() == SelfUpdateState::RestartPending;
    if (report.restartRequired)
        m_err << "quillon-cli: Quillon was updated; start it again to use the new version." << Qt::endl;
    engine.cleanupList() += installer.cleanupList();
    engine.runCleanup();
    if (action == EndOfPassAction::ReloadAndCheck)
        report.reload = reloadAndCheck(report.errors, failed);

    failed = failed || report.anyUnfinished();
    if (m_json)
        PrintUpdateReportJson(report, m_out);
    else
        PrintUpdateReportText(report, m_out, m_err);
    m_out.flush();
    m_err.flush();
    return failed ? ExitFailed : ExitDone;
}

} // namespace quillon::cli
