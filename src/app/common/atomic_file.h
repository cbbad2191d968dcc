#pragma once
// The one way the program writes a file: into a temporary file beside the target, renamed over
// it only when every write, the flush to the disk and the close succeeded. A failure at any
// point removes the temporary file and leaves the old target as it was.
#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

namespace quillon {

// Why a write failed, in the words a user understands ("disk full", not the C library's text).
// errnoValue 0 (or unknown) gives fallback.
QString FileErrorReason(int errnoValue, const QString& fallback);

// A write-only device: usable wherever a QIODevice is written (an HTTP body sink, a stream).
class AtomicFileWriter : public QIODevice {
public:
    explicit AtomicFileWriter(QString target);
    ~AtomicFileWriter() override; // discards what was not committed

    // Creates the temporary file. False with errorText when it cannot be created.
    bool open();
    // Renames the complete file over the target; the target keeps its permissions. False with
    // errorText after any failed write, flush, close or rename; the temporary file is then gone.
    bool commit();
    // Removes the temporary file; the target is untouched.
    void discard();

    // Whether the data is flushed to the disk before the rename (a power cut then finds the
    // old file or the new one). Off for scratch files that nobody keeps.
    void setSyncToDisk(bool sync) { m_sync = sync; }

    const QString& target() const { return m_target; }
    const QString& temporaryPath() const { return m_temporary; }
    bool failed() const { return !m_errorText.isEmpty(); }
    // The target's native path, ": " and the reason; empty while nothing failed.
    const QString& errorText() const { return m_errorText; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    // Opening with a mode of the caller's choice would skip the temporary file.
    using QIODevice::open;
    void fail(int errnoValue, const QString& fallback);

    QString m_target;
    QString m_temporary;
    QFile m_file;
    QString m_errorText;
    bool m_sync = true;
};

// The whole file written at once through AtomicFileWriter.
bool WriteFileAtomically(const QString& target, const QByteArray& bytes, QString* errorText = nullptr);

// Copies source over target through AtomicFileWriter; the copy keeps the source's modification
// time. A read failure is reported naming the source.
bool CopyFileAtomically(const QString& source, const QString& target, QString* errorText = nullptr);

} // namespace quillon
