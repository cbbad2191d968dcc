#include "install/download_request.h"

#include <QStringList>

#include "app/common/strings.h"

using namespace Qt::StringLiterals;

namespace quillon {

QString DownloadRequest::toLine() const {
    QStringList fields{Url, LocalArchive, AuthorUrl, Category, ItemPath, InstallFlag};
    for (QString& field : fields)
        field.remove(u'|');
    return fields.join(u'|');
}

std::optional<DownloadRequest> DownloadRequest::fromLine(const QString& line) {
    const QStringList fields = line.split(u'|');
    if (fields.size() != 6)
        return std::nullopt;
    return DownloadRequest{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
}

QString RequestCategoryOf(const QString& filePath) {
    static const std::pair<QLatin1StringView, QLatin1StringView> table[] = {
        {".wcx"_L1, category::Packer},     {".wcx64"_L1, category::Packer},  {".wfx"_L1, category::FsPlugin},
        {".wfx64"_L1, category::FsPlugin}, {".wlx"_L1, category::Lister},    {".wlx64"_L1, category::Lister},
        {".wdx"_L1, category::Content},    {".wdx64"_L1, category::Content}, {".exe"_L1, category::Util},
    };
    for (const auto& [extension, kind] : table) {
        if (filePath.endsWith(extension, Qt::CaseInsensitive))
            return QString(kind);
    }
    return QString(category::Util);
}

DownloadRequestList RemoveDuplicateRequests(const DownloadRequestList& requests) {
    DownloadRequestList kept;
    QString keptUrls;
    for (const DownloadRequest& request : requests) {
        if (!request.Url.isEmpty() && keptUrls.contains(request.Url, Qt::CaseInsensitive))
            continue;
        // An empty Url occurs in every text; such a request still gets its own (failing) row.
        keptUrls += request.Url + u'\n';
        kept.append(request);
    }
    return kept;
}

QString RequestId(int index, int count) {
    const int width = static_cast<int>(QString::number(qMax(count - 1, 0)).size());
    return ZeroPadNumber(index + 1, width);
}

} // namespace quillon
