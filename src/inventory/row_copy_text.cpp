#include "inventory/row_copy_text.h"

#include "app/common/checksums.h"
#include "inventory/plugin_database.h"

using namespace Qt::StringLiterals;

namespace quillon {

QString rowsCopyText(const QList<UpdateItem>& rows, const StatusTexts& texts, bool withChecksum) {
    QString text;
    for (const UpdateItem& row : rows) {
        const QString file = entryFileName(row.FilePath);
        if (withChecksum) {
            text += QString::number(FileCrc32OrZero(row.FilePath)) + u'\t' + file + u'\t' +
                    row.Name.trimmed() + u'\t' + row.InstalledVersion + u'\t' + row.LatestVersion + u'\t' +
                    QString::number(stateCode(itemState(row.Status, texts))) + u"\r\n"_s;
        } else {
            text += file + u'\t' + row.InstalledVersion + u'\t' + row.LatestVersion + u'\t' + row.Status +
                    u"\r\n"_s;
        }
    }
    return text.trimmed();
}

QString checksumEntriesText(const QList<UpdateItem>& rows) {
    QString text;
    for (const UpdateItem& row : rows) {
        text += u'[' + entryFileName(row.FilePath) + u"]\r\n"_s +
                QString::number(FileCrc32OrZero(row.FilePath)) + u'=' + row.InstalledVersion + u"\r\n\r\n"_s;
    }
    return text.trimmed();
}

} // namespace quillon
