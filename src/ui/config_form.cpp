#include "config_form.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMouseEvent>

namespace quillon::ui {

ButtonCaption::ButtonCaption(QAbstractButton* button, QWidget* parent) : QLabel(parent), m_button(button) {
    setWordWrap(true);
    setBuddy(button);
    // The label's minimum is one word, its preferred width the whole line: a narrow page wraps it.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // The caption greys out with its button.
    button->installEventFilter(this);
}

bool ButtonCaption::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_button && event->type() == QEvent::EnabledChange)
        setEnabled(m_button->isEnabled());
    return QLabel::eventFilter(watched, event);
}

void ButtonCaption::setCaption(const QString& text) {
    setText(text);
    QString plain = text;
    plain.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    plain.remove(QLatin1Char('&'));
    plain.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    m_button->setAccessibleName(plain);
}

void ButtonCaption::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        m_button->isEnabled()) {
        m_button->setFocus(Qt::MouseFocusReason);
        m_button->click();
    }
    QLabel::mouseReleaseEvent(event);
}

QWidget* captionedButton(QAbstractButton* button, ButtonCaption** caption) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new ButtonCaption(button, row);
    label->setObjectName(button->objectName() + QStringLiteral("_caption"));
    button->setParent(row);
    layout->addWidget(button, 0, Qt::AlignTop);
    layout->addWidget(label, 1);
    *caption = label;
    return row;
}

QFormLayout* wrappingForm() {
    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return form;
}

namespace {

// A word-wrapping label asks for its whole text in one line (QLabel's own hint for wrapping text
// is a guess at a pleasing block), so that the form puts it beside its field only when it fits,
// and under it otherwise; there it still wraps when even the page's width is too small.
class FormLabel : public QLabel {
public:
    FormLabel() { setWordWrap(true); }
    QSize sizeHint() const override {
        const QMargins m = contentsMargins();
        const int width = fontMetrics().horizontalAdvance(text()) + m.left() + m.right() + 2 * margin() + 1;
        return {width, heightForWidth(width)};
    }
};

} // namespace

QLabel* formLabel() {
    return new FormLabel;
}

QComboBox* choiceBox(const QString& objectName, int count) {
    auto* box = new QComboBox;
    box->setObjectName(objectName);
    // The box follows its texts when the language changes, and no text is cut.
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int value = 0; value < count; ++value)
        box->addItem(QString(), value);
    return box;
}

void showChoice(QComboBox* box, int namedCount, int value) {
    while (box->count() > namedCount)
        box->removeItem(namedCount);
    const int index = box->findData(value);
    if (index >= 0 && index < namedCount) {
        box->setCurrentIndex(index);
        return;
    }
    box->addItem(QString::number(value), value);
    box->setCurrentIndex(namedCount);
}

} // namespace quillon::ui
