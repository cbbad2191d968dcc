#include "ui/ui_text.h"

#include <QAbstractButton>
#include <QWidget>

namespace quillon::ui {

void nameSymbolButtons(QWidget& window) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = button->text();
        const bool symbol = text.size() <= 2 && !text.isEmpty() && !text.front().isLetterOrNumber();
        if ((symbol || text.isEmpty()) && !button->toolTip().isEmpty())
            button->setAccessibleName(button->toolTip().remove(QStringLiteral("...")).trimmed());
    }
}

} // namespace quillon::ui
