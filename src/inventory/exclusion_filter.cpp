#include "inventory/exclusion_filter.h"

#include <QDir>

#include "inventory/group_file_list.h"

using namespace Qt::StringLiterals;

namespace quillon {

QString ExclusionFilter::comparable(const QString& path) {
    QString text = path.trimmed();
    if (text.isEmpty())
        return {};
    text.replace('\\'_L1, '/'_L1);
    text = QDir::cleanPath(text);
    while (text.size() > 1 && text.endsWith('/'_L1))
        text.chop(1);
    return text.toLower();
}

ExclusionFilter::ExclusionFilter(const QStringList& lines,
                                 const std::function<QString(const QString&)>& expand, const QString& tcDir) {
    const QString tc = comparable(tcDir);
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QString entry = comparable(expand ? expand(trimmed) : trimmed);
        if (entry.isEmpty())
            continue;
        m_files.insert(entry);
        if (entry != tc)
            m_directories.insert(entry);
    }
}

bool ExclusionFilter::excludes(const QString& path) const {
    if (m_files.isEmpty())
        return false;
    const QString entry = comparable(path);
    if (entry.isEmpty())
        return false;
    if (m_files.contains(entry))
        return true;
    const qsizetype slash = entry.lastIndexOf('/'_L1);
    if (slash < 0)
        return false;
    return m_directories.contains(slash == 0 ? u"/"_s : entry.left(slash));
}

int ExclusionFilter::apply(GroupFileList& list) const {
    if (m_files.isEmpty())
        return 0;
    int removed = 0;
    for (int k = list.count() - 1; k >= 0; --k) {
        if (excludes(list.at(k).filePath)) {
            list.removeAt(k);
            ++removed;
        }
    }
    return removed;
}

} // namespace quillon
