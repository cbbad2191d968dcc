#include "updatecheck/online_list.h"

#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace quillon {

bool IsOnlineListAddress(const QString& url) {
    const QString path = QUrl(url.trimmed()).path();
    return path.mid(path.lastIndexOf(u'/') + 1) == kOnlineListPage;
}

QStringList CleanOnlineListPage(const QString& pageText) {
    QString text = pageText;
    for (const auto tag : {"<HEAD>"_L1, "</HEAD>"_L1, "<BODY>"_L1, "</BODY>"_L1})
        text.remove(tag, Qt::CaseInsensitive);
    text.replace("&amp;"_L1, "&"_L1, Qt::CaseInsensitive);
    for (const auto junk : {"&nbsp;"_L1, "<pre>"_L1, "</pre>"_L1, "'"_L1})
        text.remove(junk, Qt::CaseInsensitive);
    text.replace("| "_L1, "|\r\n"_L1, Qt::CaseInsensitive);
    text.replace("src "_L1, "src\r\n"_L1, Qt::CaseInsensitive);
    text = text.trimmed();
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    return text.split(lineBreak);
}

QString OnlineRecord::displayName() const {
    QString name = field(1);
    if (name.endsWith(u'-'))
        name.chop(1);
    return name;
}

bool SplitOnlineRecord(const QString& line, OnlineRecord& record) {
    record.fields = line.split(u'|', Qt::SkipEmptyParts);
    return record.fields.size() >= kMinimumRecordFields;
}

OnlineList::OnlineList(const QStringList& lines) : m_lines(lines) {
    OnlineRecord record;
    for (const QString& line : lines) {
        if (!SplitOnlineRecord(line, record))
            continue;
        m_byIdentifier[record.matchKey()].append(static_cast<int>(m_records.size()));
        m_records.append(record);
    }
}

void OnlineList::clear() {
    m_lines.clear();
    m_records.clear();
    m_byIdentifier.clear();
}

const QList<int>& OnlineList::positionsOf(const QString& lowerKey) const {
    static const QList<int> none;
    const auto it = m_byIdentifier.constFind(lowerKey);
    return it == m_byIdentifier.constEnd() ? none : *it;
}

} // namespace quillon
