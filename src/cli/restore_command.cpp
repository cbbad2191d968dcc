#include "cli/restore_command.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/system.h"
#include "cli/agreeing_prompter.h"
#include "cli/interrupt_guard.h"
#include "cli/terminal_text.h"
#include "engine/app_core.h"
#include "engine/restore_job.h"
#include "install/backup_catalog.h"
#include "install/backup_restore.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

// The row FILE names: its path, or its file name alone; -1 when none.
int rowOfFile(const UpdateList& list, const QString& file) {
    const QFileInfo info(file);
    const bool byPath = info.isAbsolute() || file.contains(u'/');
    for (int row = 0; row < list.rowCount(); ++row) {
        const QString path = list.row(row).FilePath;
        if (isDatabasePseudoPath(path))
            continue;
        const bool same = byPath ? QFileInfo(path).absoluteFilePath().compare(info.absoluteFilePath(),
                                                                              Qt::CaseInsensitive) == 0
                                 : QFileInfo(path).fileName().compare(file, Qt::CaseInsensitive) == 0;
        if (same)
            return row;
    }
    return -1;
}

QJsonObject backupJson(const BackupArchive& backup) {
    return QJsonObject{{u"label"_s, backup.label()},
                       {u"date"_s, backup.date.toString(Qt::ISODate)},
                       {u"archive"_s, backup.path},
                       {u"version"_s, backup.version},
                       {u"files"_s, QJsonArray::fromStringList(backup.files)}};
}

} // namespace

RestoreOptions RestoreCommand::parse(const QStringList& arguments, QString* error) {
    RestoreOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == "--yes"_L1) {
            options.yes = true;
        } else if (argument == "--from"_L1 || argument.startsWith("--from="_L1)) {
            if (argument == "--from"_L1 && i + 1 >= arguments.size()) {
                *error = u"option --from needs a value"_s;
                return options;
            }
            options.from = argument == "--from"_L1 ? arguments.at(++i) : argument.mid(7);
            if (options.from.trimmed().isEmpty()) {
                *error = u"option --from needs a value"_s;
                return options;
            }
        } else if (argument.startsWith("--"_L1)) {
            *error = u"unknown option of restore: %1"_s.arg(argument);
            return options;
        } else if (options.file.isEmpty()) {
            options.file = argument;
        } else {
            *error = u"restore takes one FILE"_s;
            return options;
        }
    }
    if (options.file.isEmpty())
        *error = u"restore needs a FILE"_s;
    return options;
}

int RestoreCommand::execute() {
    const Language& lng = m_core.language();
    const QString section = u"CaptionsRestore"_s;
    QStringList errors;
    QJsonObject json;
    auto finish = [&](int status) {
        if (m_json) {
            json.insert(u"errors"_s, QJsonArray::fromStringList(errors));
            m_out << QJsonDocument(json).toJson(QJsonDocument::Indented);
        } else {
            for (const QString& error : errors)
                m_err << "quillon-cli: " << TerminalSafe(error) << '\n';
        }
        m_out.flush();
        m_err.flush();
        return status;
    };

    const InventoryPassResult pass = m_core.runInventoryPass();
    UpdateList& list = m_core.updateList();
    const int row = rowOfFile(list, m_options.file);
    const QString itemFile = row >= 0 ? list.row(row).FilePath : QFileInfo(m_options.file).absoluteFilePath();
    json.insert(u"file"_s, itemFile);
    if (row < 0 && !QFileInfo(m_options.file).isFile()) {
        errors.append(u"%1 names no row of the list and no file"_s.arg(m_options.file));
        if (!pass.configFound)
            errors.append(lng.text(u"ErrorMessages"_s, u"TCErrorNotFound"_s,
                                   u"Total Commander can't be found. Incorrect wincmd.ini path?"_s));
        return finish(ExitFailed);
    }

    AgreeingPrompter prompter(m_core.prompter(), m_options.yes);
    const RestoreJob job(m_core, itemFile, prompter);
    const BackupListing listing = job.listBackups();
    errors += listing.problems;
    QJsonArray backupsJson;
    for (const BackupArchive& backup : listing.backups)
        backupsJson.append(backupJson(backup));
    json.insert(u"backups"_s, backupsJson);
    json.insert(u"restored"_s, QJsonValue());
    const QString fileName = QFileInfo(itemFile).fileName();
    if (listing.backups.isEmpty()) {
        errors.append(NoBackupText(lng, itemFile));
        return finish(ExitFailed);
    }

    if (!m_json) {
        m_out << TerminalSafe(lng.format(section, u"Intro"_s, u"Backups of %s:"_s,
                                         Placeholders{QDir::toNativeSeparators(itemFile), {}, {}}))
              << '\n';
        for (const BackupArchive& backup : listing.backups) {
            const QString version = backup.version.isEmpty() ? u"-"_s : backup.version;
            m_out << "  " << backup.label().leftJustified(14) << ' '
                  << TerminalSafe(version).leftJustified(14) << ' '
                  << TerminalSafe(backup.files.join(u", "_s)) << '\n';
        }
        m_out.flush();
    }

    std::optional<BackupArchive> chosen;
    if (!m_options.from.isEmpty()) {
        chosen = FindBackup(listing.backups, m_options.from);
        if (!chosen) {
            errors.append(u"no backup of %1 is named %2"_s.arg(fileName, m_options.from));
            return finish(ExitFailed);
        }
    } else {
        const BackupArchive& newest = listing.backups.first();
        const QString question = lng.format(section, u"Ask"_s, u"Restore %s1 from the backup of %s2?"_s,
                                            Placeholders{{}, fileName, newest.label()});
        AgreeingPrompter asking(m_core.prompter(), m_options.yes);
        if (asking.ask(PromptIcon::Question, PromptButtons::YesNo,
                       lng.text(u"ErrorMessages"_s, u"CaptionQuestion"_s, u"Question"_s),
                       question) == PromptAnswer::Yes)
            chosen = newest;
        if (!chosen) {
            if (!m_json)
                m_out << "Nothing restored: choose a backup with --from DATE, or the newest with --yes.\n";
            return finish(ExitDone);
        }
    }

    NullProgressSink progress;
    // Ctrl+C stops between files; the files already replaced are put back.
    const CancelToken cancel;
    const InterruptGuard interrupts(cancel);
    const RestoreResult result = job.restore(chosen->path, cancel, progress);
    QJsonObject restored = backupJson(*chosen);
    restored.insert(u"result"_s, result.ok() ? u"restored"_s : u"failed"_s);
    restored.insert(u"undoBackup"_s, result.undoBackup);
    if (!result.ok()) {
        errors.append(RestoreFailedText(lng) + u' ' + result.error);
        json.insert(u"restored"_s, restored);
        return finish(ExitFailed);
    }

    const QString version = job.applyRestored(m_core).version;
    restored.insert(u"installed"_s, version);
    restored.insert(u"restoredFiles"_s, QJsonArray::fromStringList(result.restored));
    json.insert(u"restored"_s, restored);
    if (!m_json) {
        m_out << TerminalSafe(RestoredText(lng, itemFile, chosen->label())) << '\n'
              << lng.text(section, u"ColVersion"_s, u"Version"_s) << ": " << TerminalSafe(version) << '\n';
        if (!result.undoBackup.isEmpty())
            m_out << TerminalSafe(UndoNoteText(lng, result.undoBackup)) << '\n';
    }
    return finish(ExitDone);
}

} // namespace quillon::cli
