#include "ui/clickable_label.h"

#include <QMouseEvent>

namespace quillon::ui {

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::setColours(const QColor& normal, const QColor& hover) {
    m_normal = normal;
    m_hover = hover;
    paintIn(underMouse() ? m_hover : m_normal);
}

void ClickableLabel::paintIn(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour.isValid() ? colour : QPalette().color(QPalette::WindowText));
    setPalette(p);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::enterEvent(QEnterEvent* event) {
    paintIn(m_hover.isValid() ? m_hover : m_normal);
    QLabel::enterEvent(event);
}

void ClickableLabel::leaveEvent(QEvent* event) {
    paintIn(m_normal);
    QLabel::leaveEvent(event);
}

} // namespace quillon::ui
