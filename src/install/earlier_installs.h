#pragma once
// What the installations already previewed in one pass would have left behind, for the next one
// to find the folders as the real pass would: two packages installed into one folder on one day
// share the day's backup archive, and a file the first writes is one the second replaces.
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

class EarlierInstalls {
public:
    // Whether path would be a file then, and whether it would hold no null byte (what the backup
    // of text files only asks); a file no earlier installation touched is looked at on disk.
    bool isFile(const QString& path) const;
    bool isText(const QString& path) const;
    // The spelling an earlier installation gave a file of that name in another letter case.
    QString spelling(const QString& path) const;
    // The files earlier installations wrote straight into folder (not below it), as spelled.
    QStringList writtenIn(const QString& folder) const;
    // The entries of a backup archive an earlier installation wrote; none if it wrote none.
    std::optional<QStringList> archiveEntries(const QString& archive) const;

    void written(const QString& path, bool text);
    void removed(const QString& path);
    void archived(const QString& archive, const QStringList& entries);

private:
    struct File {
        QString path;
        bool exists = false;
        bool text = false;
    };
    QHash<QString, File> m_files; // by the path in lower case
    QHash<QString, QStringList> m_archives;
};

} // namespace quillon
