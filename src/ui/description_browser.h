#pragma once
// A published description shown as HTML without a web engine: nothing it names is loaded (no
// images, files or style sheets), and a click on one of its links opens the default browser
// for http(s) addresses only while the view stays on its page.
#include <QTextBrowser>

namespace quillon::ui {

class DescriptionBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit DescriptionBrowser(QWidget* parent = nullptr);

    // Relative links of the page are read against this address (the page's own).
    void setPageAddress(const QUrl& address) { m_pageAddress = address; }
    QVariant loadResource(int type, const QUrl& name) override;

signals:
    // An address that was not opened because it is no web page.
    void linkRefused(const QString& address);

private:
    QUrl m_pageAddress;
};

} // namespace quillon::ui
