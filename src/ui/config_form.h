#pragma once
// Building blocks of the Configuration page that fit any width and any language: a check box or
// radio button whose caption wraps instead of widening the page, form layouts that put a field
// under its label when the two do not fit side by side, and choice boxes that show a stored
// number by its name (a number outside the named ones shows as it is and is kept).
#include <QLabel>

class QAbstractButton;
class QComboBox;
class QFormLayout;

namespace quillon::ui {

// The caption of a check box or radio button beside it: it wraps, and a click on it clicks the
// button. The button's accessible name follows the caption's text.
class ButtonCaption : public QLabel {
    Q_OBJECT
public:
    explicit ButtonCaption(QAbstractButton* button, QWidget* parent = nullptr);
    QAbstractButton* button() const { return m_button; }
    // Sets the caption ("&&" is a plain "&") and the button's accessible name.
    void setCaption(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QAbstractButton* m_button;
};

// button with its wrapping caption in one row; caption receives the label.
QWidget* captionedButton(QAbstractButton* button, ButtonCaption** caption);

// A form whose long rows wrap: the field goes under its label when both do not fit.
QFormLayout* wrappingForm();
// A label for wrappingForm(): it wraps when even a row of its own is too narrow.
QLabel* formLabel();

// A choice box sized to its longest text, taking the wheel only with the focus (the page sets
// that). Items carry their stored number as data.
QComboBox* choiceBox(const QString& objectName, int count);
// Selects the item whose number is value; a value without an item gets an extra item named by
// the number, kept until another item is picked.
void showChoice(QComboBox* box, int namedCount, int value);

} // namespace quillon::ui
