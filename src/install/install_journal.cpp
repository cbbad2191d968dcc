#include "install/install_journal.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <cstdlib>

#include "app/common/atomic_file.h"
#include "app/common/files.h"
#include "app/ini_document.h"
#include "app/language.h"
#include "app/prompter.h"
#include "install/archive_entry_guard.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kInstallation = u"Installation"_s;
const QString kFiles = u"Files"_s;
const QString kScratch = u"Scratch"_s;

} // namespace

QString InstallJournalPath(const QString& settingsDir) {
    return settingsDir.isEmpty() ? QString() : WithoutTrailingSlash(settingsDir) + u"/install-journal.ini"_s;
}

InstallJournal::InstallJournal(QString journalPath) : m_path(std::move(journalPath)) {}

bool InstallJournal::begin(const QString& itemDir, const QStringList& relativeTargets,
                           const QString& undoFolder, const QStringList& scratchFolders, QString* errorText) {
    if (m_path.isEmpty())
        return true;
    m_undoFolder = WithoutTrailingSlash(undoFolder);
    const QString root = WithoutTrailingSlash(itemDir);
    IniDocument journal(m_path);
    journal.setValue(kInstallation, u"ItemDir"_s, root);
    journal.setValue(kInstallation, u"Undo"_s, m_undoFolder);
    if (!m_originalPath.isEmpty()) {
        journal.setValue(kInstallation, u"MovedTo"_s, m_movedTo);
        journal.setValue(kInstallation, u"Original"_s, m_originalPath);
    }
    for (int i = 0; i < scratchFolders.size(); ++i)
        journal.setValue(kScratch, QString::number(i), scratchFolders.at(i));
    // The journal comes first, so that a kill at any later point is found. A copy is complete
    // or absent (written atomically), and the copies are all made before the first file is
    // replaced: an entry without its copy means that file was never touched.
    DeleteDirectoryTree(m_undoFolder);
    QList<bool> existed;
    for (int i = 0; i < relativeTargets.size(); ++i) {
        existed.append(QFileInfo(root + u'/' + relativeTargets.at(i)).isFile());
        journal.setValue(kFiles, QString::number(i),
                         (existed.last() ? u"1|"_s : u"0|"_s) + relativeTargets.at(i));
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath()); // a settings folder not written yet
    if (!journal.save(errorText))
        return false;
    InstallStepReached();
    for (int i = 0; i < relativeTargets.size(); ++i) {
        if (!existed.at(i))
            continue;
        const QString copy = m_undoFolder + u'/' + relativeTargets.at(i);
        if (!QDir().mkpath(QFileInfo(copy).absolutePath()) ||
            !CopyFileAtomically(root + u'/' + relativeTargets.at(i), copy, errorText)) {
            finish();
            return false;
        }
        InstallStepReached();
    }
    return true;
}

void InstallJournal::finish() {
    if (m_path.isEmpty())
        return;
    // The journal goes first: copies without a journal are only scratch, a journal without its
    // copies would undo nothing.
    ForceDeleteFile(m_path);
    DeleteDirectoryTree(m_undoFolder);
}

InstallRecovery RecoverCutOffInstallation(const QString& journalPath) {
    InstallRecovery recovery;
    if (journalPath.isEmpty() || !QFileInfo(journalPath).isFile())
        return recovery;
    recovery.found = true;
    IniDocument journal(journalPath);
    journal.load();
    const QString root = journal.value(kInstallation, u"ItemDir"_s);
    const QString undo = journal.value(kInstallation, u"Undo"_s);
    recovery.itemDir = root;
    auto failed = [&recovery](const QString& path, const QString& why) {
        recovery.failed.append(QDir::toNativeSeparators(path) + u": "_s + why);
    };
    if (root.isEmpty() || !QDir::isAbsolutePath(root)) {
        failed(journalPath, u"the journal names no folder"_s);
    } else {
        for (const auto& [number, entry] : journal.entries(kFiles)) {
            const bool existed = entry.startsWith(u"1|"_s);
            const QString relative = entry.mid(2);
            // The journal is ours, but a file may have been edited: nothing outside the folder.
            if (!CheckArchiveEntry(relative, ArchiveEntryKind::File).safe())
                continue;
            const QString target = root + u'/' + relative;
            const QString copy = undo + u'/' + relative;
            // A kill in the middle of a write leaves its temporary file beside the target.
            const QFileInfo targetInfo(target);
            const QStringList partial =
                QDir(targetInfo.absolutePath())
                    .entryList({targetInfo.fileName() + u".*.quillon-tmp"_s}, QDir::Files);
            for (const QString& name : partial)
                ForceDeleteFile(targetInfo.absolutePath() + u'/' + name);
            QString why;
            if (existed && QFileInfo(copy).isFile()) {
                if (CopyFileAtomically(copy, target, &why))
                    recovery.restored.append(target);
                else
                    failed(target, why);
            } else if (!existed && QFileInfo(target).isFile()) {
                if (ForceDeleteFile(target, &why))
                    recovery.removed.append(target);
                else
                    failed(target, why);
            }
        }
    }
    const QString original = journal.value(kInstallation, u"Original"_s);
    const QString movedTo = journal.value(kInstallation, u"MovedTo"_s);
    if (!original.isEmpty() && !QFileInfo::exists(original) && QFileInfo(movedTo).isFile()) {
        if (QString why; !MoveFileReplacing(movedTo, original, false, &why))
            failed(original, why);
    }
    for (const auto& [number, folder] : journal.entries(kScratch))
        DeleteDirectoryTree(folder);
    // Only a complete undo ends the journal: otherwise the next start tries again.
    if (recovery.failed.isEmpty()) {
        DeleteDirectoryTree(undo);
        ForceDeleteFile(journalPath);
    }
    return recovery;
}

void ReportRecovery(Prompter& prompter, const Language& language, const InstallRecovery& recovery) {
    if (!recovery.found)
        return;
    const QString errors = u"ErrorMessages"_s;
    QString text = language.text(errors, u"InstallCutOff_01"_s,
                                 u"The last installation into %s was cut off before it was complete."_s);
    text.replace(u"%s"_s, QDir::toNativeSeparators(recovery.itemDir), Qt::CaseInsensitive);
    text += u"\n"_s + language.text(errors, u"InstallCutOff_02"_s,
                                    u"The files it had replaced were put back and its leftovers removed."_s);
    if (!recovery.failed.isEmpty())
        text +=
            u"\n\n"_s +
            language.text(errors, u"InstallCutOff_03"_s,
                          u"These files could not be put back (Quillon tries again at its next start):"_s) +
            u"\n\n"_s + recovery.failed.join(u'\n');
    prompter.tell(recovery.failed.isEmpty() ? PromptIcon::Warning : PromptIcon::Error,
                  language.text(errors, u"CaptionWarning"_s, u"Warning"_s), text);
}

void InstallStepReached() {
    static const int killAfter = qEnvironmentVariableIntValue("QUILLON_TEST_KILL_AFTER_STEP");
    static std::atomic_int reached{0};
    if (killAfter <= 0 || ++reached != killAfter)
        return;
#ifdef SIGKILL
    std::raise(SIGKILL);
#else
    std::abort();
#endif
}

} // namespace quillon
