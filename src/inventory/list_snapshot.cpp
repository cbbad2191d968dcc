#include "inventory/list_snapshot.h"
#include "inventory/update_item.h"

namespace quillon {

namespace {

constexpr int kFieldCount = 8;

} // namespace

SnapshotLine SnapshotLine::fromItem(const UpdateItem& item, const StatusTexts& texts) {
    SnapshotLine l;
    l.Name = item.Name;
    l.InstalledVersion = item.InstalledVersion;
    l.LatestVersion = item.LatestVersion;
    l.StateCode = stateCode(itemState(item.Status, texts));
    l.FilePath = item.FilePath;
    l.Group = static_cast<int>(item.Group);
    l.Ordinal = item.Ordinal;
    l.Checked = item.Checked;
    return l;
}

UpdateItem SnapshotLine::toItem(const StatusTexts& texts) const {
    UpdateItem item;
    item.Name = Name.trimmed();
    item.InstalledVersion = InstalledVersion.trimmed();
    item.LatestVersion = LatestVersion.trimmed();
    item.Status = statusText(stateFromCode(QString::number(StateCode)), texts);
    item.FilePath = FilePath.trimmed();
    item.Group = groupFromId(Group).value_or(ItemGroup::Oth);
    item.Ordinal = Ordinal;
    item.Checked = Checked;
    return item;
}

QString SnapshotLine::text() const {
    const QChar sep = QLatin1Char('|');
    return Name + sep + InstalledVersion + sep + LatestVersion + sep + QString::number(StateCode) + sep +
           FilePath + sep + QString::number(Group) + sep + QString::number(Ordinal) + sep +
           (Checked ? QLatin1Char('1') : QLatin1Char('0'));
}

std::optional<SnapshotLine> SnapshotLine::parse(const QString& line) {
    const QStringList f = line.split(QLatin1Char('|'));
    const auto n = f.size();
    if (n < kFieldCount)
        return std::nullopt;
    bool groupOk = false;
    const int group = f[n - 3].trimmed().toInt(&groupOk);
    if (!groupOk || !groupFromId(group))
        return std::nullopt;

    SnapshotLine l;
    l.Name = f[0].trimmed();
    l.InstalledVersion = f[1].trimmed();
    l.LatestVersion = f[2].trimmed();
    l.StateCode = stateCode(stateFromCode(f[3]));
    l.FilePath = f.mid(4, n - kFieldCount + 1).join(QLatin1Char('|')).trimmed();
    l.Group = group;
    l.Ordinal = f[n - 2].trimmed().toInt(); // not a number: 0, like a fresh slot
    l.Checked = f[n - 1].trimmed() == QLatin1String("1");
    return l;
}

int ListSnapshot::replaceByPath(const QString& filePath, const SnapshotLine& replacement) {
    int replaced = 0;
    for (SnapshotLine& l : m_lines) {
        if (sameItemPath(l.FilePath, filePath)) {
            l = replacement;
            ++replaced;
        }
    }
    return replaced;
}

int ListSnapshot::removeByPath(const QString& filePath) {
    return static_cast<int>(
        m_lines.removeIf([&](const SnapshotLine& l) { return sameItemPath(l.FilePath, filePath); }));
}

QStringList ListSnapshot::toText() const {
    QStringList text;
    text.reserve(m_lines.size());
    for (const SnapshotLine& l : m_lines)
        text.append(l.text());
    return text;
}

} // namespace quillon
