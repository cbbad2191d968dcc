#include "updatecheck/item_details.h"

#include <QRegularExpression>

#include "app/common/strings.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString cleanCommon(QString text) {
    text.remove("<pre>"_L1, Qt::CaseInsensitive);
    text.remove("</pre>"_L1, Qt::CaseInsensitive);
    text.replace("&nbsp;"_L1, " "_L1, Qt::CaseInsensitive);
    return text;
}

struct PageAnswer {
    QString text;
    QString errorText;
    bool cancelled = false;
};

PageAnswer fetchPage(const ItemDetailsJob& job, const QString& url, const CancelToken& cancel,
                     ProgressSink& progress) {
    HttpRequest request = job.requestTemplate;
    request.url = url;
    request.cancel = cancel.flag();
    request.progress = [&progress, &url](qint64 received, qint64 total) {
        progress.report({url, received, total > 0 ? total : -1});
        return true;
    };
    const HttpResponse response = HttpClient::perform(request);
    if (response.cancelled || cancel.isCancelled())
        return {{}, {}, true};
    if (!response.ok())
        return {{}, response.errorText.isEmpty() ? u"HTTP %1"_s.arg(response.status) : response.errorText};
    return {DecodeAnsiPage(response.body), {}};
}

} // namespace

QString DecodeHtmlEntities(const QString& text) {
    static const QRegularExpression entity(u"&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]{2,6});"_s);
    static const QHash<QString, QString> named{{u"amp"_s, u"&"_s},  {u"lt"_s, u"<"_s},
                                               {u"gt"_s, u">"_s},   {u"quot"_s, u"\""_s},
                                               {u"apos"_s, u"'"_s}, {u"nbsp"_s, u" "_s}};
    QString result;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(1);
        QString replacement;
        if (name.startsWith('#'_L1)) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == 'x'_L1 || name[1] == 'X'_L1);
            const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        } else {
            replacement = named.value(name.toLower());
        }
        if (replacement.isEmpty())
            continue;
        result += QStringView(text).mid(last, match.capturedStart() - last);
        result += replacement;
        last = match.capturedEnd();
    }
    result += QStringView(text).mid(last);
    return result;
}

ItemDetails parseItemDetails(const QString& answer) {
    const qsizetype bar = answer.indexOf('|'_L1);
    ItemDetails details;
    details.descriptionHtml =
        cleanCommon(bar < 0 ? answer : answer.left(bar)).replace("\\n"_L1, "\n"_L1).trimmed();
    if (bar >= 0) {
        // Tags go before entities are decoded, so an escaped "<" of the text stays.
        QString history = DecodeHtmlEntities(StripTags(cleanCommon(answer.mid(bar + 1))));
        details.history = history.replace("\\n"_L1, "\n"_L1).trimmed();
    }
    return details;
}

ItemDetailsResult fetchItemDetails(const ItemDetailsJob& job, const CancelToken& cancel,
                                   ProgressSink& progress) {
    ItemDetailsResult result;
    QString answer;
    if (job.detailsUrl.isEmpty()) {
        const PageAnswer history = fetchPage(job, job.historyUrl, cancel, progress);
        if (history.cancelled) {
            result.outcome = ItemDetailsResult::Outcome::Cancelled;
            return result;
        }
        // The description is built in: a history page that is missing (or a site that does not
        // answer) leaves the history out, not the whole window.
        if (history.text.trimmed().isEmpty())
            result.errorText = history.errorText;
        // The description is our own plain text; the history page is a text file.
        answer = job.tcDescription.toHtmlEscaped().replace('\n'_L1, "<br/>"_L1) + '|'_L1 +
                 history.text.toHtmlEscaped();
    } else {
        const PageAnswer page = fetchPage(job, job.detailsUrl, cancel, progress);
        if (page.cancelled) {
            result.outcome = ItemDetailsResult::Outcome::Cancelled;
            return result;
        }
        answer = page.text;
        result.errorText = page.errorText;
    }
    if (answer.trimmed().isEmpty())
        return result;
    result.outcome = ItemDetailsResult::Outcome::Shown;
    result.details = parseItemDetails(answer);
    return result;
}

} // namespace quillon
