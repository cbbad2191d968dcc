#include "quick_search_strip.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace quillon::ui {

QuickSearchStrip::QuickSearchStrip(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("TSearchPlugins"));
    setFrameShape(QFrame::StyledPanel);
    lbl_Search = new QLabel(this);
    edit_Search = new QLineEdit(this);
    edit_Search->setObjectName(QStringLiteral("edit_Search"));
    edit_Search->setClearButtonEnabled(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(lbl_Search);
    layout->addSpacing(15);
    layout->addWidget(edit_Search, 1);
    lbl_Result = new QLabel(this);
    lbl_Result->setObjectName(QStringLiteral("lbl_SearchResult"));
    layout->addSpacing(10);
    layout->addWidget(lbl_Result);
    edit_Search->installEventFilter(this);
    connect(edit_Search, &QLineEdit::textChanged, this, &QuickSearchStrip::textChanged);
    hide();
}

void QuickSearchStrip::setResult(const QString& result) {
    lbl_Result->setText(result);
    lbl_Result->setVisible(!result.isEmpty());
}

void QuickSearchStrip::setCaption(const QString& caption) {
    lbl_Search->setText(caption);
}

QString QuickSearchStrip::text() const {
    return edit_Search->text();
}

void QuickSearchStrip::clearText() {
    edit_Search->clear();
}

void QuickSearchStrip::open() {
    show();
    edit_Search->setFocus();
    if (!edit_Search->text().trimmed().isEmpty()) {
        edit_Search->selectAll();
        emit textChanged(edit_Search->text());
    }
}

void QuickSearchStrip::close() {
    if (!isVisible())
        return;
    hide();
    emit closed();
}

bool QuickSearchStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_Search) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                close();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            close();
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace quillon::ui
