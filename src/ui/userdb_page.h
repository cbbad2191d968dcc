#pragma once
// The user database page: the entries of userdb.ini with their editor, and the exception list.
#include <QWidget>

namespace quillon {
class AppCore;
}

namespace quillon::ui {

class ExclusionListWidget;
class UserDbList;

class UserDbPage : public QWidget {
    Q_OBJECT
public:
    explicit UserDbPage(AppCore& core, QWidget* parent = nullptr);
    void retranslate();
    // Both lists again from the core (after a change made elsewhere).
    void refill();
    // Shown: an entry stays selected.
    void pageShown();
    UserDbList& entries() { return *m_entries; }

private:
    UserDbList* m_entries;
    ExclusionListWidget* m_exclusions;
};

} // namespace quillon::ui
