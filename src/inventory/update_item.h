#pragma once
// One row of the update list: an installed plugin, add-on, Total Commander, Quillon itself or
// one of Quillon's two databases. All state of an item lives in its row.
#include <QString>

#include <optional>

#include "app/common/strings.h"

namespace quillon {

// Group ids are stored in snapshots and address the group file lists; keep the numbers.
enum class ItemGroup : int {
    TC = 0,  // Total Commander itself, one row at most, always the first
    Wcx = 1, // packer plugins
    Wfx = 2, // file-system plugins
    Wlx = 3, // lister plugins
    Wdx = 4, // content plugins
    Oth = 5, // utilities and known add-on DLLs
    QN = 6,  // Quillon's executable and its two databases
};

inline constexpr int kGroupCount = 7;

// "TC", "wcx", "wfx", "wlx", "wdx", "oth", "QN": the stem of the group's language keys.
QString groupShortName(ItemGroup group);
std::optional<ItemGroup> groupFromId(int id);

// The file paths of the two database rows.
inline constexpr QLatin1StringView kPluginDbPath{"tcplugindb"};
inline constexpr QLatin1StringView kChecksumDbPath{"checksumdb"};
bool isDatabasePseudoPath(const QString& path);

// Whether two rows' paths name the same item: spaces around them and letter case aside.
bool sameItemPath(QStringView a, QStringView b);

struct UpdateItem {
    QString Name;
    QString InstalledVersion = QString(kNoVersion); // "..." while the row is refreshed
    QString LatestVersion = QString(kNoVersion);
    QString Status;   // one of the language's three status texts
    QString FilePath; // expanded path of the main file, or a database key word
    ItemGroup Group = ItemGroup::Oth;
    bool Checked = false;
    int Ordinal = 0; // position at the moment the row was added; 0 for Total Commander's row

    bool operator==(const UpdateItem&) const = default;
};

} // namespace quillon
