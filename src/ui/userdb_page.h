#pragma once
// The user database page: the entries of userdb.ini with their editor, and the exception list.
#include <QWidget>

namespace quillon {
class Language;
class Prompter;
class Settings;
struct Stores;
} // namespace quillon

namespace quillon::ui {

class ExclusionListWidget;
class UserDbList;

class UserDbPage : public QWidget {
    Q_OBJECT
public:
    // settings: the exception list and the sites a WebsiteID opens on.
    UserDbPage(const Language& language, Settings& settings, Stores& stores, Prompter& prompter,
               QWidget* parent = nullptr);
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
