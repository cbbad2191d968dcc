#include "ui/description_browser.h"

#include "ui/web_links.h"

namespace quillon::ui {

DescriptionBrowser::DescriptionBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QString address = (url.isRelative() ? m_pageAddress.resolved(url) : url).toString();
        if (!openWebAddress(address))
            emit linkRefused(address);
    });
}

QVariant DescriptionBrowser::loadResource(int, const QUrl&) {
    return {};
}

} // namespace quillon::ui
