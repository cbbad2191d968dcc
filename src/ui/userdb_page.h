#pragma once
// The user database page: the entries of userdb.ini and the exception list. Editing an entry
// belongs to the user database editor.
#include <QWidget>

class QGroupBox;
class QListWidget;
class QPlainTextEdit;

namespace quillon {
class AppCore;
}

namespace quillon::ui {

class UserDbPage : public QWidget {
    Q_OBJECT
public:
    explicit UserDbPage(AppCore& core, QWidget* parent = nullptr);
    void retranslate();
    // LV_UserDB filled from the user database again.
    void refill();
    // Shown: the caret goes to the end of the exception list and an entry stays selected.
    void pageShown();

signals:
    void entryActivated(const QString& section);

private:
    AppCore& m_core;
    QGroupBox* gb_Entries;
    QGroupBox* gb_ExceptionList;
    QListWidget* LV_UserDB;
    QPlainTextEdit* m_ExceptionList;
};

} // namespace quillon::ui
