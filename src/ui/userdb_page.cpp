#include "userdb_page.h"

#include <QTableView>
#include <QVBoxLayout>

#include "app/settings.h"
#include "exclusion_list_widget.h"
#include "user_db_list.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

UserDbPage::UserDbPage(const Language& language, Settings& settings, Stores& stores, Prompter& prompter,
                       QWidget* parent)
    : QWidget(parent) {
    setObjectName(u"TabUserDB"_s);
    m_entries = new UserDbList({language, settings.values, stores, prompter}, this);
    m_exclusions = new ExclusionListWidget(language, settings, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_entries, 3);
    layout->addWidget(m_exclusions, 2);
}

void UserDbPage::retranslate() {
    m_entries->retranslate();
    m_exclusions->retranslate();
}

void UserDbPage::refill() {
    m_entries->reload();
    m_exclusions->reload();
}

void UserDbPage::pageShown() {
    m_exclusions->reload();
    QTableView& list = m_entries->list();
    if (!list.currentIndex().isValid() && list.model() && list.model()->rowCount() > 0)
        list.setCurrentIndex(list.model()->index(0, 0));
}

} // namespace quillon::ui
