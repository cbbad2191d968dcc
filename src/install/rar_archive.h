#pragma once
// RAR packages through the run-time loaded unrar library (`TRAR`). Without the library, or with
// one that lacks an entry point, every operation fails and the error event gets code 99.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "install/rar_library.h"

namespace quillon {

class Prompter;

class RarArchive {
public:
    // Operations named in the error event.
    enum Operation { OperationOpen = 1, OperationClose = 2, OperationReadOrProcess = 3 };
    static constexpr int LibraryMissing = 99;

    enum class ReplaceDecision { Skip, Overwrite, Cancel };

    struct Information {
        QString fileName;
        bool opened = false;
        bool selfExtracting = false;
        QString comment;
        bool hasComment = false;
        bool locked = false;
        bool solid = false;
        bool isSigned = false;
        bool recoveryRecord = false;
        bool encryptedHeaders = false;
    };

    struct Entry {
        QString name; // as stored, "/" or "\" separated
        qint64 size = 0;
        bool directory = false;
    };

    // The prompter shows the once-per-load notice about an outdated library; may be null.
    explicit RarArchive(Prompter* prompter = nullptr);
    ~RarArchive();
    RarArchive(const RarArchive&) = delete;
    RarArchive& operator=(const RarArchive&) = delete;

    // The library file; a bare name is searched the system's way. Takes effect at the next load.
    void setLibraryPath(const QString& path);
    void setPassword(const QString& password) { m_password = password; }

    // Opens the archive and lists it; information() and entries() describe it afterwards.
    bool openFile(const QString& fileName);
    // Lists or tests the archive given to openFile.
    bool list();
    bool test();
    // Unpacks the archive given to openFile below path. With restoreFolder stored folders are
    // kept, else every file lands in path itself. files (names or "*"/"?" masks) limits the
    // entries; empty means all. Existing files are kept unless onReplace says otherwise; unsafe
    // entry names are refused and make the pass fail while the rest is unpacked.
    bool extract(const QString& path, bool restoreFolder, const QStringList& files = {});
    // Stops the running pass at the next callback or header.
    void abort() { m_abort = true; }

    // The library's interface version; 0 when it cannot be loaded.
    int getDllVersion();
    QString getVersion();

    const Information& information() const { return m_info; }
    const QList<Entry>& entries() const { return m_entries; }
    // Why the last operation failed, in words.
    QString lastError() const { return m_lastError; }
    const QStringList& refusedEntries() const { return m_refused; }
    const QStringList& keptExistingFiles() const { return m_keptExisting; }

    // Events; each is optional.
    std::function<void(int code, Operation operation)> onError;
    std::function<ReplaceDecision(const QString& existingFile)> onReplace;
    std::function<void(qint64 archiveDone, qint64 archiveTotal)> onProgress;
    std::function<void(const QString& volume)> onVolumeNotify;
    // The next volume's path, or empty to give up.
    std::function<QString(const QString& missingVolume)> onNextVolume;
    // A password, or empty to give up.
    std::function<QString()> onPassword;

private:
    enum class Pass { List, Test, Extract };
    struct PassOptions {
        Pass pass = Pass::List;
        QString path;
        bool restoreFolder = true;
        QStringList files;
    };

    bool ensureLoaded();
    rar::Handle open(unsigned mode);
    bool run(const PassOptions& options);
    bool processEntry(rar::Handle handle, const rar::HeaderDataEx& header, const PassOptions& options);
    void raise(int code, Operation operation, const QString& text);
    int callback(unsigned msg, rar::LParam p1, rar::LParam p2);
    static int QUILLON_RAR_CALL callbackThunk(unsigned msg, rar::LParam userData, rar::LParam p1,
                                              rar::LParam p2);

    Prompter* m_prompter;
    rar::Library m_library;
    QString m_libraryPath;
    bool m_loadTried = false;
    QString m_fileName;
    QString m_password;
    bool m_abort = false;
    Information m_info;
    QList<Entry> m_entries;
    QString m_lastError;
    QStringList m_refused;
    QStringList m_keptExisting;
    qint64 m_progressTotal = 0;
    qint64 m_progressDone = 0;
};

// The library's text for a result code.
QString RarErrorText(int code);

} // namespace quillon
