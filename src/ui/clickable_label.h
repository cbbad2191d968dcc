#pragma once
// A label that acts on a click and takes a darker shade of its colour under the mouse.
#include <QColor>
#include <QLabel>

namespace quillon::ui {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);

    // normal: drawn so; hover: under the mouse. An invalid colour keeps the palette's.
    void setColours(const QColor& normal, const QColor& hover);
    QColor colour() const { return m_normal; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintIn(const QColor& colour);

    QColor m_normal;
    QColor m_hover;
};

} // namespace quillon::ui
