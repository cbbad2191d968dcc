#pragma once
// One package to fetch: where from, where to, what kind and whether to install it. Kept as
// a struct; the "|"-joined line is the form other parts of the program exchange.
#include <QList>
#include <QString>

#include <optional>

namespace quillon {

namespace category {
inline constexpr QLatin1StringView TotalCmd{"totalcmd"};
inline constexpr QLatin1StringView Quillon{"quillon"};
inline constexpr QLatin1StringView PluginDb{"tcplugindb"};
inline constexpr QLatin1StringView Packer{"packer"};
inline constexpr QLatin1StringView FsPlugin{"fsplugin"};
inline constexpr QLatin1StringView Lister{"lister"};
inline constexpr QLatin1StringView Content{"content"};
inline constexpr QLatin1StringView Util{"util"};
} // namespace category

struct DownloadRequest {
    QString Url;
    QString LocalArchive;
    QString AuthorUrl;
    QString Category;
    QString ItemPath;
    QString InstallFlag; // "1" or "0"

    bool installAfterDownload() const { return InstallFlag == u'1'; }
    // The six fields joined by "|"; a "|" inside a field would shift the others, so it is
    // dropped (it cannot occur in a path, and a link with one is broken anyway).
    QString toLine() const;
    // Nothing unless the line has exactly six fields.
    static std::optional<DownloadRequest> fromLine(const QString& line);

    bool operator==(const DownloadRequest&) const = default;
};

using DownloadRequestList = QList<DownloadRequest>;

// "packer", "fsplugin", ... by the extension of the file name (any letter case); "util" for
// every other extension.
QString RequestCategoryOf(const QString& filePath);

// Keeps a request only when its Url does not occur (letter case ignored) in the Urls kept
// before it.
DownloadRequestList RemoveDuplicateRequests(const DownloadRequestList& requests);

// The 1-based number of the row at index, zero-padded to the digits of count - 1: "01".."12"
// for twelve rows, "1".."10" for ten.
QString RequestId(int index, int count);

} // namespace quillon
