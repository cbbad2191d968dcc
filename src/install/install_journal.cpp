#include "install/install_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/common/atomic_file.h"
#include "app/common/files.h"
#include "app/common/regular_file.h"
#include "app/ini_document.h"
#include "app/language.h"
#include "app/prompter.h"
#include "install/archive_entry_guard.h"
#include "platform/file_lock.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kInstallation = u"Installation"_s;
const QString kFiles = u"Files"_s;
const QString kScratch = u"Scratch"_s;

QString lockPath(const QString& journalPath) {
    return journalPath + u".lock"_s;
}

std::unique_ptr<platform::FileLock> takeLock(const QString& journalPath) {
    return platform::TryLockFile(PlatformPath(lockPath(journalPath)));
}

// The real folder, links resolved; empty when it does not exist.
QString canonicalFolder(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

bool isSameOrBelow(const QString& canonicalPath, const QString& canonicalRoot) {
    if (canonicalPath.isEmpty() || canonicalRoot.isEmpty())
        return false;
    if (canonicalPath == canonicalRoot)
        return true;
    const QString root = canonicalRoot.endsWith(u'/') ? canonicalRoot : canonicalRoot + u'/';
    return canonicalPath.startsWith(root);
}

// A scratch or undo folder as the installer and the restore name them, directly in the
// temporary directory (it need not exist any more).
bool isOwnScratchFolder(const QString& folder, const QString& canonicalTemp) {
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || canonicalTemp.isEmpty())
        return false;
    const QFileInfo info(QDir::cleanPath(folder));
    const QString name = info.fileName();
    return (name.startsWith("inst_"_L1) || name.startsWith("restore_"_L1)) &&
           canonicalFolder(info.absolutePath()) == canonicalTemp;
}

// Why the journal's folders are not ones an installation of ours writes; empty when they are.
QString outOfBounds(const IniDocument& journal, const InstallJournalBounds& bounds) {
    const QString root = journal.value(kInstallation, u"ItemDir"_s);
    const QString canonicalRoot = canonicalFolder(root);
    bool inRoots = false;
    for (const QString& allowed : bounds.itemRoots)
        inRoots = inRoots || isSameOrBelow(canonicalRoot, canonicalFolder(allowed));
    if (root.isEmpty() || !QDir::isAbsolutePath(root) || !inRoots)
        return u"the folder %1 is no place Quillon installs to"_s.arg(QDir::toNativeSeparators(root));
    const QString canonicalTemp = canonicalFolder(bounds.tempDirectory);
    QStringList scratch{journal.value(kInstallation, u"Undo"_s)};
    for (const auto& [number, folder] : journal.entries(kScratch))
        scratch.append(folder);
    for (const QString& folder : std::as_const(scratch)) {
        if (!isOwnScratchFolder(folder, canonicalTemp))
            return u"the folder %1 is not one of Quillon's scratch folders"_s.arg(
                QDir::toNativeSeparators(folder));
    }
    const QString programDir = canonicalFolder(bounds.programDir);
    for (const QString& key : {u"MovedTo"_s, u"Original"_s}) {
        const QString path = journal.value(kInstallation, key);
        if (!path.isEmpty() &&
            (!QDir::isAbsolutePath(path) ||
             canonicalFolder(QFileInfo(QDir::cleanPath(path)).absolutePath()) != programDir ||
             programDir.isEmpty()))
            return u"the file %1 is not beside the program"_s.arg(QDir::toNativeSeparators(path));
    }
    return {};
}

// Each folder listed once, however many of the journal's files lie in it.
class PartialWrites {
public:
    QStringList beside(const QFileInfo& target) {
        const QString folder = target.absolutePath();
        auto found = m_byFolder.constFind(folder);
        if (found == m_byFolder.constEnd())
            found = m_byFolder.insert(folder, QDir(folder).entryList({u"*.quillon-tmp"_s}, QDir::Files));
        QStringList paths;
        const QString prefix = target.fileName() + u'.';
        for (const QString& name : *found) {
            if (name.startsWith(prefix) && name.count(u'.') == prefix.count(u'.') + 1)
                paths.append(folder + u'/' + name);
        }
        return paths;
    }

private:
    QHash<QString, QStringList> m_byFolder;
};

} // namespace

QString InstallJournalPath(const QString& settingsDir) {
    return settingsDir.isEmpty() ? QString() : WithoutTrailingSlash(settingsDir) + u"/install-journal.ini"_s;
}

InstallLock::InstallLock(const QString& journalPath) {
    if (journalPath.isEmpty())
        return;
    QDir().mkpath(QFileInfo(journalPath).absolutePath()); // a settings folder not written yet
    m_lock = takeLock(journalPath);
    if (!m_lock) {
        m_refusal =
            u"another Quillon program is installing now (%1 is locked); try again when it is done"_s.arg(
                QDir::toNativeSeparators(lockPath(journalPath)));
    } else if (InstallJournalPending(journalPath)) {
        IniDocument journal(journalPath);
        journal.load();
        m_refusal =
            u"the earlier installation into %1 was cut off and is not undone yet (%2); nothing more is "
            "installed until Quillon has undone it at its next start"_s.arg(
                QDir::toNativeSeparators(journal.value(kInstallation, u"ItemDir"_s)),
                QDir::toNativeSeparators(journalPath));
    }
}

InstallLock::~InstallLock() = default;

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

bool InstallJournalPending(const QString& journalPath) {
    return !journalPath.isEmpty() && QFileInfo(journalPath).isFile();
}

InstallRecovery RecoverCutOffInstallation(const QString& journalPath, const InstallJournalBounds& bounds) {
    InstallRecovery recovery;
    if (!InstallJournalPending(journalPath))
        return recovery;
    const std::unique_ptr<platform::FileLock> lock = takeLock(journalPath);
    // Taken first, then the journal read again: the installation may have ended meanwhile.
    if (!lock || !InstallJournalPending(journalPath)) {
        recovery.busy = !lock;
        return recovery;
    }
    recovery.found = true;
    IniDocument journal(journalPath);
    journal.load();
    const QString root = journal.value(kInstallation, u"ItemDir"_s);
    const QString undo = journal.value(kInstallation, u"Undo"_s);
    recovery.itemDir = root;
    if (QString why = outOfBounds(journal, bounds); !why.isEmpty()) {
        // Kept for the user to look at, out of the way of the installations to come.
        recovery.refused = why;
        recovery.setAsideAs = journalPath + u".refused"_s;
        if (!MoveFileReplacing(journalPath, recovery.setAsideAs, true, &why))
            recovery.failed.append(QDir::toNativeSeparators(journalPath) + u": "_s + why);
        return recovery;
    }
    auto failed = [&recovery](const QString& path, const QString& why) {
        recovery.failed.append(QDir::toNativeSeparators(path) + u": "_s + why);
    };
    PartialWrites partialWrites;
    for (const auto& [number, entry] : journal.entries(kFiles)) {
        const bool existed = entry.startsWith(u"1|"_s);
        const QString relative = entry.mid(2);
        // Nothing outside the folder, not even through a link in it.
        if (!CheckArchiveEntry(relative, ArchiveEntryKind::File).safe() ||
            !StaysBelowRoot(root, QFileInfo(relative).path()))
            continue;
        const QString target = root + u'/' + relative;
        const QString copy = undo + u'/' + relative;
        // A kill in the middle of a write leaves its temporary file beside the target.
        const QFileInfo targetInfo(target);
        for (const QString& partial : partialWrites.beside(targetInfo))
            ForceDeleteFile(partial);
        QString why;
        if (existed && QFileInfo(copy).isFile()) {
            if (CopyFileAtomically(copy, target, &why))
                recovery.restored.append(target);
            else
                failed(target, why);
        } else if (!existed && targetInfo.isFile()) {
            if (ForceDeleteFile(target, &why))
                recovery.removed.append(target);
            else
                failed(target, why);
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
    const QString caption = language.text(errors, u"CaptionWarning"_s, u"Warning"_s);
    if (!recovery.refused.isEmpty()) {
        QString text = language.text(
            errors, u"InstallJournalRefused"_s,
            u"The installation journal %s names folders that are not Quillon's own, so nothing was done with it:"_s);
        text.replace(u"%s"_s, QDir::toNativeSeparators(recovery.setAsideAs), Qt::CaseInsensitive);
        prompter.tell(PromptIcon::Error, caption, text + u"\n\n"_s + recovery.refused);
        return;
    }
    QString text = language.text(errors, u"InstallCutOff_01"_s,
                                 u"The last installation into %s was cut off before it was complete."_s);
    text.replace(u"%s"_s, QDir::toNativeSeparators(recovery.itemDir), Qt::CaseInsensitive);
    // One message says one thing: either all is back, or what is not.
    if (recovery.failed.isEmpty())
        text +=
            u"\n"_s + language.text(errors, u"InstallCutOff_02"_s,
                                    u"The files it had replaced were put back and its leftovers removed."_s);
    else
        text +=
            u"\n\n"_s +
            language.text(errors, u"InstallCutOff_03"_s,
                          u"These files could not be put back (Quillon tries again at its next start):"_s) +
            u"\n\n"_s + recovery.failed.join(u'\n');
    prompter.tell(recovery.failed.isEmpty() ? PromptIcon::Warning : PromptIcon::Error, caption, text);
}

void ReportPendingRecovery(Prompter& prompter, const Language& language, const QString& journalPath) {
    if (!InstallJournalPending(journalPath))
        return;
    IniDocument journal(journalPath);
    journal.load();
    const QString errors = u"ErrorMessages"_s;
    QString text =
        language.text(errors, u"InstallCutOffPending"_s,
                      u"An installation into %s did not end. If it is no longer running, it is undone "
                      "by the next command that installs or restores, or when the desktop program starts."_s);
    text.replace(u"%s"_s, QDir::toNativeSeparators(journal.value(kInstallation, u"ItemDir"_s)),
                 Qt::CaseInsensitive);
    prompter.tell(PromptIcon::Warning, language.text(errors, u"CaptionWarning"_s, u"Warning"_s), text);
}

void InstallStepReached() {
#ifdef QUILLON_TEST_HOOKS
    // KILL: the process dies here; STOP: it halts here until a SIGCONT (for the races).
    static const int killAfter = qEnvironmentVariableIntValue("QUILLON_TEST_KILL_AFTER_STEP");
    static const int stopAfter = qEnvironmentVariableIntValue("QUILLON_TEST_STOP_AFTER_STEP");
    static std::atomic_int reached{0};
    const int step = ++reached;
#if defined(SIGKILL) && defined(SIGSTOP)
    if (step == killAfter)
        std::raise(SIGKILL);
    if (step == stopAfter) {
        // Said first, so that the test waits for this line rather than for a while.
        std::fprintf(stderr, "test hook: halted after install step %d\n", step);
        std::fflush(stderr);
        std::raise(SIGSTOP);
    }
#else
    if (step == killAfter || step == stopAfter)
        std::abort();
#endif
#endif
}

} // namespace quillon
