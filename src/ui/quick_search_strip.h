#pragma once
// The quick search strip below the update list (Ctrl+S): typing narrows the list to the rows
// whose name or file name holds the text. Enter, Escape or leaving the field closes it; the
// narrowing stays until the text is cleared.
#include <QFrame>

class QLabel;
class QLineEdit;

namespace quillon::ui {

class QuickSearchStrip : public QFrame {
    Q_OBJECT
public:
    explicit QuickSearchStrip(QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    QString text() const;
    void clearText();
    // Shown and focused; a text left from before is selected and applied again.
    void open();
    // What the narrowing leaves: a text such as "3 of 9 shown" or "No match"; empty hides it.
    void setResult(const QString& result);

signals:
    void textChanged(const QString& text);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void close();

    QLabel* lbl_Search;
    QLineEdit* edit_Search;
    QLabel* lbl_Result;
};

} // namespace quillon::ui
