#include "file_icon.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

#include "app/common/pe_info.h"

namespace quillon::ui {

QIcon fileIcon(const QString& path) {
    static QHash<QString, QIcon> known;
    if (const auto found = known.constFind(path); found != known.constEnd())
        return *found;
    QIcon icon;
    QByteArray ico = FirstIconGroup(path);
    if (!ico.isEmpty()) {
        // Every size the group holds, so that the view picks the one that fits.
        QBuffer buffer(&ico);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
            const QImage image = reader.read();
            if (!image.isNull())
                icon.addPixmap(QPixmap::fromImage(image));
            if (!reader.jumpToNextImage())
                break;
        }
    }
    known.insert(path, icon);
    return icon;
}

} // namespace quillon::ui
