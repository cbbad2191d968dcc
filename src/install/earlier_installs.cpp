#include "install/earlier_installs.h"

#include <QFileInfo>

#include "app/common/files.h"

namespace quillon {
namespace {

// Total Commander's world is Windows: one file, whatever the letter case of its name.
QString keyOf(const QString& path) {
    return path.toLower();
}

} // namespace

bool EarlierInstalls::isFile(const QString& path) const {
    const auto found = m_files.constFind(keyOf(path));
    return found != m_files.cend() ? found->exists : QFileInfo(path).isFile();
}

bool EarlierInstalls::isText(const QString& path) const {
    const auto found = m_files.constFind(keyOf(path));
    if (found != m_files.cend())
        return found->exists && found->text;
    return QFileInfo(path).isFile() && FileHasNoNullBytes(path);
}

QString EarlierInstalls::spelling(const QString& path) const {
    const auto found = m_files.constFind(keyOf(path));
    return found != m_files.cend() && found->exists ? found->path : path;
}

QStringList EarlierInstalls::writtenIn(const QString& folder) const {
    QStringList files;
    for (const File& file : m_files) {
        if (file.exists && QFileInfo(file.path).path() == folder)
            files.append(file.path);
    }
    return files;
}

std::optional<QStringList> EarlierInstalls::archiveEntries(const QString& archive) const {
    const auto found = m_archives.constFind(keyOf(archive));
    if (found == m_archives.cend())
        return std::nullopt;
    return *found;
}

void EarlierInstalls::written(const QString& path, bool text) {
    m_files.insert(keyOf(path), {path, true, text});
}

void EarlierInstalls::removed(const QString& path) {
    m_files.insert(keyOf(path), {path, false, false});
}

void EarlierInstalls::archived(const QString& archive, const QStringList& entries) {
    m_archives.insert(keyOf(archive), entries);
}

} // namespace quillon
