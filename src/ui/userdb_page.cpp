#include "userdb_page.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/app_core.h"
#include "app/settings.h"
#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

UserDbPage::UserDbPage(AppCore& core, QWidget* parent) : QWidget(parent), m_core(core) {
    setObjectName(u"TabUserDB"_s);
    gb_Entries = new QGroupBox(this);
    gb_ExceptionList = new QGroupBox(this);
    LV_UserDB = new QListWidget(gb_Entries);
    LV_UserDB->setObjectName(u"LV_UserDB"_s);
    m_ExceptionList = new QPlainTextEdit(gb_ExceptionList);
    m_ExceptionList->setObjectName(u"m_ExceptionList"_s);
    (new QVBoxLayout(gb_Entries))->addWidget(LV_UserDB);
    (new QVBoxLayout(gb_ExceptionList))->addWidget(m_ExceptionList);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gb_Entries, 3);
    layout->addWidget(gb_ExceptionList, 2);
    m_ExceptionList->setPlainText(m_core.settings().exceptionListText());
    connect(m_ExceptionList, &QPlainTextEdit::textChanged, this,
            [this] { m_core.settings().setExceptionListText(m_ExceptionList->toPlainText()); });
    connect(LV_UserDB, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit entryActivated(item->text()); });
    refill();
}

void UserDbPage::retranslate() {
    const Language& lng = m_core.language();
    gb_Entries->setTitle(uiText(lng, "CaptionsMainFrm", "UserDB_GB_Entries", "UserDB entries"));
    gb_ExceptionList->setTitle(uiText(lng, "CaptionsMainFrm", "UserDB_GB_ExceptionList",
                                      "Exception list (files and directories left out of the list)"));
}

void UserDbPage::refill() {
    const QString current = LV_UserDB->currentItem() ? LV_UserDB->currentItem()->text() : QString();
    LV_UserDB->clear();
    QStringList sections = m_core.userDbStore().sections();
    sections.sort(Qt::CaseInsensitive);
    LV_UserDB->addItems(sections);
    const QList<QListWidgetItem*> found = LV_UserDB->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty())
        LV_UserDB->setCurrentItem(found.first());
}

void UserDbPage::pageShown() {
    if (m_ExceptionList->toPlainText() != m_core.settings().exceptionListText()) {
        const QSignalBlocker blocker(m_ExceptionList);
        m_ExceptionList->setPlainText(m_core.settings().exceptionListText());
    }
    m_ExceptionList->moveCursor(QTextCursor::End);
    if (!LV_UserDB->currentItem() && LV_UserDB->count() > 0)
        LV_UserDB->setCurrentRow(0);
}

} // namespace quillon::ui
