#include "inventory/update_item.h"

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

bool isDatabasePseudoPath(const QString& path) {
    const QString p = path.trimmed();
    return p.compare(kPluginDbPath, Qt::CaseInsensitive) == 0 ||
           p.compare(kChecksumDbPath, Qt::CaseInsensitive) == 0;
}

} // namespace quillon
