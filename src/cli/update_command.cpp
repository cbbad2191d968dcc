#include "cli/update_command.h"

#include "cli/check_command.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/app_core.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "install/installer.h"
#include "install/request_builder.h"
#include "install/transfer_engine.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "updatecheck/check_run.h"
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
    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override {
        if (!m_agree)
            return m_inner.ask(icon, buttons, caption, text);
        m_inner.tell(icon, caption, text);
        return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                                  : PromptAnswer::Yes;
    }
    void tell(PromptIcon icon, const QString& caption, const QString& text) override {
        m_inner.tell(icon, caption, text);
    }
    QString chooseFile(const QString& caption, const QString& startPath) override {
        return m_inner.chooseFile(caption, startPath);
    }

private:
    Prompter& m_inner;
    bool m_agree;
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

struct RequestReport {
    QString item;
    QString file;
    QString result; // "installed", "downloaded", "failed"
    QString reason;
};

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

int UpdateCommand::execute() {
    const InventoryPassResult pass = m_core.runInventoryPass();
    QStringList errors = pass.errors;
    if (!pass.configFound) {
        m_err << "quillon-cli: wincmd.ini was not found; nothing to update." << Qt::endl;
        return ExitFailed;
    }
    SettingValues& values = m_core.settings().values;
    PageFetcher fetcher(FetchSettings::fromSettings(values), m_core.prompter(), m_core.language());
    UpdateCheckState state;
    state.listLoaded(!values.tcDisabled && !pass.tcRow);
    UpdateCheckRun run(m_core, fetcher, state);
    const CheckRunResult checked = run.btn_SearchUpdatesClick();
    errors += checked.errors;
    // Without the catalogue nothing can be known to be updatable: that is a failed run.
    bool failed = CheckCommand::CatalogueGaveNothing(checked, m_core, m_err, errors);

    UpdateList& list = m_core.updateList();
    QList<int> rows;
    for (const QString& file : m_options.files) {
        int found = -1;
        for (int row = 0; row < list.rowCount() && found < 0; ++row) {
            if (rowMatchesFile(list.row(row), file))
                found = row;
        }
        if (found < 0) {
            m_err << "quillon-cli: no row for " << file << Qt::endl;
            failed = true;
        } else if (list.state(found) != ItemState::Update) {
            m_err << "quillon-cli: " << file << " has no update; skipped" << Qt::endl;
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

    TransferSettings transfer;
    transfer.rules = HostRules::fromSettings(values);
    const ProxySetup proxy = ProxyFromSettings(values);
    transfer.proxy = proxy.proxy;
    transfer.httpTimeOutMs = values.httpTimeOut;
    transfer.downloadDir = downloadDir;
    transfer.packageChoice = packageChoice;
    transfer.tcPackagePage =
        TcPackagePage(values.siteTotalCommander, state.TcAnnouncedLink, values.tcDoNotAcceptBeta);
    transfer.catalogueBase = values.siteCatalogue;
    TransferEngine engine(requests, transfer);

    Installer installer(InstallerContextFromCore(m_core, &prompter));
    QList<InstallStepResult> installs;
    bool anyInstallRequest = false;
    engine.setAfterFile([&](int index, const DownloadRequest& request, const QString& localFile) {
        while (installs.size() <= index)
            installs.append(InstallStepResult{});
        anyInstallRequest = anyInstallRequest || request.installAfterDownload();
        if (m_options.install || request.Category == category::PluginDb)
            installs[index] = installer.installStep(request, localFile);
    });
    engine.prepare();
    if (proxy.ok)
        engine.run();
    else
        errors.append(u"the proxy of the settings cannot be used"_s);

    QList<RequestReport> reports;
    const QList<TransferRow>& transferRows = engine.rows();
    for (int i = 0; i < engine.requests().size(); ++i) {
        const DownloadRequest& request = engine.requests().at(i);
        RequestReport report;
        report.item = request.ItemPath;
        const TransferRow* row = i < transferRows.size() ? &transferRows.at(i) : nullptr;
        report.file = row ? row->localPath : QString();
        if (!row || row->state != TransferState::Done) {
            report.result = u"failed"_s;
            report.reason = row && !row->error.isEmpty() ? row->error : u"not downloaded"_s;
        } else if (i < installs.size() && installs[i].outcome == InstallStepResult::Outcome::Installed) {
            report.result = u"installed"_s;
        } else if (i < installs.size() && installs[i].outcome == InstallStepResult::Outcome::Failed) {
            report.result = u"failed"_s;
            report.reason = installs[i].error;
            if (!installs[i].failedFiles.isEmpty())
                report.reason += u": "_s + installs[i].failedFiles.join(u", "_s);
        } else {
            report.result = u"downloaded"_s;
        }
        failed = failed || report.result == "failed"_L1;
        reports.append(report);
    }
    if (!engine.fatalError().isEmpty()) {
        errors.append(engine.fatalError());
        failed = true;
    }

    const EndOfPassAction action = installer.endOfPass(anyInstallRequest || m_options.install);
    if (action == EndOfPassAction::Restart)
        m_err << "quillon-cli: Quillon was updated; start it again to use the new version." << Qt::endl;
    engine.cleanupList() += installer.cleanupList();
    engine.runCleanup();

    int installedCount = 0, downloadedCount = 0, failedCount = 0;
    for (const RequestReport& report : reports) {
        installedCount += report.result == "installed"_L1;
        downloadedCount += report.result == "downloaded"_L1;
        failedCount += report.result == "failed"_L1;
    }
    if (m_json) {
        QJsonArray items;
        for (const RequestReport& report : reports)
            items.append(QJsonObject{{u"item"_s, report.item},
                                     {u"file"_s, report.file},
                                     {u"result"_s, report.result},
                                     {u"reason"_s, report.reason}});
        m_out << QJsonDocument(
                     QJsonObject{
                         {u"requests"_s, items},
                         {u"counts"_s, QJsonObject{{u"requests"_s, static_cast<int>(reports.size())},
                                                   {u"installed"_s, installedCount},
                                                   {u"downloaded"_s, downloadedCount},
                                                   {u"failed"_s, failedCount}}},
                         {u"errors"_s, QJsonArray::fromStringList(errors)},
                     })
                     .toJson(QJsonDocument::Indented);
    } else {
        for (const RequestReport& report : reports) {
            m_out << report.result.leftJustified(11) << report.item;
            if (!report.reason.isEmpty())
                m_out << " (" << report.reason << ')';
            m_out << '\n';
        }
        m_out << u"%1 request(s): %2 installed, %3 downloaded, %4 failed"_s.arg(reports.size())
                     .arg(installedCount)
                     .arg(downloadedCount)
                     .arg(failedCount)
              << '\n';
        for (const QString& error : errors)
            m_err << "quillon-cli: " << error << '\n';
    }
    m_out.flush();
    m_err.flush();
    return failed ? ExitFailed : ExitDone;
}

} // namespace quillon::cli
