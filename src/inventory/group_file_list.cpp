#include "inventory/group_file_list.h"
#include "inventory/update_item.h"

#include <QSet>

#include <algorithm>
#include <numeric>
#include <vector>

namespace quillon {

namespace {

char16_t asciiFolded(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// QString::toLower, with ASCII text (nearly every path) lowered directly.
QString lowered(const QString& text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (!ascii)
        return text.toLower();
    QString result(text.size(), Qt::Uninitialized);
    std::transform(text.begin(), text.end(), result.begin(),
                   [](QChar c) { return QChar(asciiFolded(c.unicode())); });
    return result;
}

} // namespace

void GroupFileList::append(const QString& filePath, const QString& sortKey) {
    m_entries.append(Entry{sortKey, filePath});
}

QStringList GroupFileList::filePaths() const {
    QStringList paths;
    paths.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        paths.append(e.filePath);
    return paths;
}

void GroupFileList::setSortKey(int k, const QString& sortKey) {
    m_entries[k].sortKey = sortKey;
}

int GroupFileList::indexOfPath(const QString& filePath) const {
    for (int k = 0; k < count(); ++k) {
        if (sameItemPath(m_entries[k].filePath, filePath))
            return k;
    }
    return -1;
}

int GroupFileList::removePath(const QString& filePath) {
    return static_cast<int>(
        m_entries.removeIf([&](const Entry& e) { return sameItemPath(e.filePath, filePath); }));
}

void GroupFileList::removeDuplicatePaths() {
    QSet<QString> seen;
    m_entries.removeIf([&](const Entry& e) {
        const QString key = lowered(e.filePath.trimmed());
        if (seen.contains(key))
            return true;
        seen.insert(key);
        return false;
    });
}

namespace {

// The order of QString::compare without regard to case. Paths of one list share long prefixes
// and are mostly ASCII: code units both have in common are passed over exactly, ASCII letters
// are folded directly, and Qt's comparison takes over from the unit before the first other
// difference, which may be the high half of a surrogate pair.
int compareIgnoringCase(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = std::mismatch(a.begin(), a.begin() + n, b.begin()).first - a.begin();
    for (; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x >= 128 || y >= 128)
            break;
        const int diff = int(asciiFolded(x)) - int(asciiFolded(y));
        if (diff != 0)
            return diff;
    }
    if (i == n)
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    const qsizetype from = i > 0 ? i - 1 : 0;
    return a.sliced(from).compare(b.sliced(from), Qt::CaseInsensitive);
}

} // namespace

void GroupFileList::sortByLine() {
    // Each line is built once, not once per comparison, and the sort moves indices, not strings.
    std::vector<QString> lines;
    lines.reserve(size_t(m_entries.size()));
    for (const Entry& e : std::as_const(m_entries))
        lines.push_back(e.line());
    // Lines of ASCII only (nearly always) are folded once, and then compared as they are.
    const bool ascii = std::all_of(lines.cbegin(), lines.cend(), [](const QString& line) {
        return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 128; });
    });
    if (ascii) {
        for (QString& line : lines)
            line = lowered(line);
    }
    std::vector<qsizetype> order(lines.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(), [&lines, ascii](qsizetype a, qsizetype b) {
        return ascii ? lines[size_t(a)] < lines[size_t(b)]
                     : compareIgnoringCase(lines[size_t(a)], lines[size_t(b)]) < 0;
    });
    QList<Entry> sorted;
    sorted.reserve(m_entries.size());
    for (const qsizetype k : order)
        sorted.append(std::move(m_entries[k]));
    m_entries = std::move(sorted);
}

int GroupFileLists::slot(ItemGroup group) {
    Q_ASSERT(hasList(group));
    return static_cast<int>(group) - 1;
}

GroupFileList& GroupFileLists::list(ItemGroup group) {
    return m_lists[static_cast<size_t>(slot(group))];
}

const GroupFileList& GroupFileLists::list(ItemGroup group) const {
    return m_lists[static_cast<size_t>(slot(group))];
}

int GroupFileLists::totalCount() const {
    int total = 0;
    for (const GroupFileList& l : m_lists)
        total += l.count();
    return total;
}

void GroupFileLists::clear() {
    for (GroupFileList& l : m_lists)
        l.clear();
}

int GroupFileLists::rowIndex(ItemGroup group, int k, bool hasTcRow) const {
    int row = hasTcRow ? 1 : 0;
    for (int s = 0; s < slot(group); ++s)
        row += m_lists[static_cast<size_t>(s)].count();
    return row + k;
}

std::optional<GroupFileLists::Position> GroupFileLists::locate(int row, bool hasTcRow) const {
    int k = row - (hasTcRow ? 1 : 0);
    if (k < 0)
        return std::nullopt;
    for (int s = 0; s < static_cast<int>(m_lists.size()); ++s) {
        const int n = m_lists[static_cast<size_t>(s)].count();
        if (k < n)
            return Position{static_cast<ItemGroup>(s + 1), k};
        k -= n;
    }
    return std::nullopt;
}

int GroupFileLists::removePath(const QString& filePath) {
    int removed = 0;
    for (GroupFileList& l : m_lists)
        removed += l.removePath(filePath);
    return removed;
}

void GroupFileLists::dropHidden(const QStringList& hiddenPaths) {
    for (const QString& path : hiddenPaths) {
        if (!isDatabasePseudoPath(path))
            removePath(path);
    }
}

} // namespace quillon
