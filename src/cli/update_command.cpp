#include "cli/update_command.h"

#include <QFileInfo>

#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "cli/agreeing_prompter.h"
#include "cli/check_command.h"
#include "cli/interrupt_guard.h"
#include "cli/terminal_text.h"
#include "cli/transfer_progress_printer.h"
#include "cli/update_preview_report.h"
#include "cli/update_report.h"
#include "engine/app_core.h"
#include "engine/check_job.h"
#include "engine/check_run.h"
#include "engine/update_pass.h"
#include "engine/update_preview.h"
#include "engine/update_sequence.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

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
        else if (argument == "--dry-run"_L1)
            options.dryRun = true;
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
    NullProgressSink progress;
    const CheckJobResult checked = RunUpdateCheck(
        m_core, DetectionOptions::fromValues(m_core.settings().values), -1, m_cancel, progress);
    errors += checked.run.errors;
    // Without the catalogue nothing can be known to be updatable: that is a failed run.
    return checked.cancelled || CheckCommand::CheckGaveNothing(checked.run, m_core, m_err, errors);
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

int UpdateCommand::preview(UpdatePassOptions options, bool failed) {
    UpdatePreview dryRun(m_core, m_core.prompter(), std::move(options));
    dryRun.buildRequests();
    TransferProgressPrinter printer(dryRun.transfer(), m_err, TransferProgressPrinter::stderrIsTerminal());
    dryRun.setRowChanged([&printer](int index) { printer.rowChanged(index); });
    dryRun.setProgress([&printer](const TransferProgress& progress) { printer.progress(progress); });
    const UpdatePreviewResult result = dryRun.run(m_cancel);
    printer.clearLine();
    failed = failed || PreviewUnfinished(result);
    if (m_json)
        PrintUpdatePreviewJson(result, m_out);
    else
        PrintUpdatePreviewText(result, m_out, m_err);
    m_out.flush();
    m_err.flush();
    return failed ? ExitFailed : ExitDone;
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
    const InterruptGuard interrupts(m_cancel);
    const InventoryPassResult pass = m_core.runInventoryPass(m_cancel);
    if (pass.cancelled)
        return cancelled();
    UpdateReport report;
    report.errors = pass.errors;
    if (!pass.configFound) {
        m_err << "quillon-cli: wincmd.ini was not found; nothing to update." << Qt::endl;
        return ExitFailed;
    }
    bool failed = checkForUpdates(report.errors);
    if (m_cancel.isCancelled())
        return cancelled();

    AgreeingPrompter prompter(m_core.prompter(), m_options.yes);
    UpdatePassOptions options;
    options.rows = chosenRows(failed);
    // --install installs whatever the desktop program's choice says; without it nothing is.
    options.install = m_options.install ? InstallChoice::Always : InstallChoice::Never;
    options.askInstallQuestion = false;
    options.replaceProgramConfirmed = m_options.yes;
    if (m_options.dryRun)
        return preview(std::move(options), failed);
    UpdateSequence sequence(m_core, prompter, std::move(options));
    sequence.build();

    UpdatePass& updatePass = sequence.pass();
    TransferEngine& engine = updatePass.transfer();
    TransferProgressPrinter printer(engine, m_err, TransferProgressPrinter::stderrIsTerminal());
    updatePass.setRowChanged([&printer](int index) { printer.rowChanged(index); });
    updatePass.setProgress([&printer](const TransferProgress& progress) { printer.progress(progress); });
    prompter.setAroundOutput([&printer](const std::function<void()>& write) { printer.aside(write); });
    sequence.run(m_cancel);
    printer.clearLine();

    report.requests = RequestReports(engine, updatePass.installs());
    report.errors += updatePass.errors();
    failed = failed || !engine.fatalError().isEmpty();
    sequence.finish();
    sequence.cleanUp();
    report.restartRequired = sequence.restartRequired();
    if (report.restartRequired)
        m_err << "quillon-cli: Quillon was updated; start it again to use the new version." << Qt::endl;
    if (sequence.reloadAndCheckDue())
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
