#pragma once
// The exception list as the inventory pass applies it: a line names a file to leave out, or a
// directory whose files (not those of its subdirectories) are left out.
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace quillon {

class GroupFileList;

class ExclusionFilter {
public:
    // lines as stored ("%COMMANDER_PATH%" and other variables, either separator); expand turns
    // one into a host path. tcDir: a line naming Total Commander's directory hides nothing by
    // directory there, or the whole installation would vanish.
    ExclusionFilter(const QStringList& lines, const std::function<QString(const QString&)>& expand,
                    const QString& tcDir);

    bool isEmpty() const { return m_files.isEmpty(); }
    bool excludes(const QString& path) const;
    // Drops the excluded entries; returns how many went.
    int apply(GroupFileList& list) const;

    // The form paths are compared in: "/" separators, no trailing one, lower case.
    static QString comparable(const QString& path);

private:
    QSet<QString> m_files;       // every line, as a file
    QSet<QString> m_directories; // every line but Total Commander's directory, as a directory
};

} // namespace quillon
