#include "updatecheck/page_links.h"

#include <QStringDecoder>
#include <QUrl>

#include <gumbo.h>

#include <vector>

#include "updatecheck/http_client.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QByteArray asUtf8(const QByteArray& html) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(html);
    if (!utf8.hasError())
        return html;
    return DecodeAnsiPage(html).toUtf8();
}

QString absoluteLink(const QUrl& page, const QString& href) {
    // Browsers ignore the blanks around an attribute's address.
    const QString target = href.trimmed();
    if (!page.isValid() || page.isRelative())
        return target;
    const QUrl link(target, QUrl::TolerantMode);
    // An empty target is the page itself; an unreadable or absolute one stays as written.
    if (!target.isEmpty() && (!link.isValid() || !link.isRelative()))
        return target;
    return page.resolved(link).toString(QUrl::FullyEncoded);
}

// Parents before children, children in order: the order of the links in the page's text. A
// stack of its own, so a page of deeply nested elements cannot exhaust the call stack.
QStringList collectLinks(const GumboNode* root, const QUrl& page) {
    QStringList links;
    std::vector<const GumboNode*> pending{root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        const GumboVector* children = nullptr;
        if (node->type == GUMBO_NODE_DOCUMENT) {
            children = &node->v.document.children;
        } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            const GumboElement& element = node->v.element;
            if (element.tag == GUMBO_TAG_A) {
                if (const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href"))
                    links.append(absoluteLink(page, QString::fromUtf8(href->value)));
            }
            children = &element.children;
        } else {
            continue;
        }
        for (unsigned int i = children->length; i > 0; --i)
            pending.push_back(static_cast<const GumboNode*>(children->data[i - 1]));
    }
    return links;
}

} // namespace

QStringList GetPageLinks(const QString& pageUrl, const QByteArray& html) {
    // Gumbo's time grows with the square of the nesting depth: a few megabytes of unclosed
    // elements take hours. The links of the pages read here lie far inside this; a character
    // cut at the end becomes U+FFFD.
    constexpr qsizetype MaxParsedHtml = 256 * 1024;
    const QByteArray utf8 = asUtf8(html).left(MaxParsedHtml);
    // Parse errors are of no use here, and recording them copies the open-element stack each
    // time: on a page of many unclosed elements that cost grows with the square of its size.
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput* output =
        gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
    if (!output)
        return {};
    const QStringList links = collectLinks(output->document, QUrl(pageUrl.trimmed(), QUrl::TolerantMode));
    gumbo_destroy_output(&options, output);
    return links;
}

QStringList GetPageLinks(const QString& pageUrl, int timeoutMs, QString* errorText) {
    HttpRequest request;
    request.url = pageUrl;
    request.connectTimeoutMs = timeoutMs;
    request.readTimeoutMs = timeoutMs;
    const HttpResponse response = HttpClient::perform(request);
    if (!response.ok()) {
        if (errorText) {
            *errorText =
                response.errorText.isEmpty() ? u"HTTP %1"_s.arg(response.status) : response.errorText;
        }
        return {};
    }
    if (errorText)
        errorText->clear();
    // Links are relative to where the page really came from, after redirects.
    return GetPageLinks(response.finalUrl, response.body);
}

} // namespace quillon
