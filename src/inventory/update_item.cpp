#include "inventory/update_item.h"

#include <algorithm>

namespace quillon {

QString groupShortName(ItemGroup group) {
    switch (group) {
    case ItemGroup::TC:
        return QStringLiteral("TC");
    case ItemGroup::Wcx:
        return QStringLiteral("wcx");
    case ItemGroup::Wfx:
        return QStringLiteral("wfx");
    case ItemGroup::Wlx:
        return QStringLiteral("wlx");
    case ItemGroup::Wdx:
        return QStringLiteral("wdx");
    case ItemGroup::Oth:
        return QStringLiteral("oth");
    case ItemGroup::QN:
        break;
    }
    return QStringLiteral("QN");
}

std::optional<ItemGroup> groupFromId(int id) {
    if (id < 0 || id >= kGroupCount)
        return std::nullopt;
    return static_cast<ItemGroup>(id);
}

bool sameItemPath(QStringView a, QStringView b) {
    a = a.trimmed();
    b = b.trimmed();
    // Lists compare every path with many others: ASCII letters are folded here, and Qt's
    // comparison takes over only from the first unit that is not ASCII.
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        if (x >= 128 || y >= 128)
            return a.sliced(i).compare(b.sliced(i), Qt::CaseInsensitive) == 0;
        const auto folded = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; };
        if (folded(x) != folded(y))
            return false;
    }
    return a.size() == b.size();
}

bool isDatabasePseudoPath(const QString& path) {
    const QString p = path.trimmed();
    return p.compare(kPluginDbPath, Qt::CaseInsensitive) == 0 ||
           p.compare(kChecksumDbPath, Qt::CaseInsensitive) == 0;
}

} // namespace quillon
