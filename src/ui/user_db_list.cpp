#include "ui/user_db_list.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/prompter.h"
#include "engine/stores.h"
#include "inventory/user_database.h"
#include "ui/user_db_model.h"
#include "ui/user_db_modify.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

UserDbList::UserDbList(const UserDbParts& parts, QWidget* parent) : QWidget(parent), m_parts(parts) {
    setObjectName(u"UserDbList"_s);
    m_model = new UserDbModel(m_parts.stores.userDb, m_parts.language, this);
    m_list = new QTableView(this);
    m_list->setObjectName(u"LV_UserDB"_s);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSortingEnabled(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->installEventFilter(this);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        QHeaderView* header = m_list->horizontalHeader();
        const bool again = header->isSortIndicatorShown() && header->sortIndicatorSection() == column &&
                           header->sortIndicatorOrder() == Qt::AscendingOrder;
        const Qt::SortOrder order = again ? Qt::DescendingOrder : Qt::AscendingOrder;
        header->setSortIndicatorShown(true);
        header->setSortIndicator(column, order);
        m_model->sort(column, order);
    });
    connect(m_list, &QTableView::doubleClicked, this, &UserDbList::editSelected);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        updateButtons();
        emit currentEntryChanged(currentId());
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &UserDbList::updateButtons);

    m_add = new QPushButton(this);
    m_add->setObjectName(u"btn_UDB_add"_s);
    m_edit = new QPushButton(this);
    m_edit->setObjectName(u"btn_UDB_edit"_s);
    m_delete = new QPushButton(this);
    m_delete->setObjectName(u"btn_UDB_delete"_s);
    connect(m_add, &QPushButton::clicked, this, &UserDbList::addEntry);
    connect(m_edit, &QPushButton::clicked, this, &UserDbList::editSelected);
    connect(m_delete, &QPushButton::clicked, this, &UserDbList::deleteSelected);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    retranslate();
    updateButtons();
}

void UserDbList::retranslate() {
    const Language& l = m_parts.language;
    m_add->setText(l.text(u"Buttons"_s, u"BtnAddNew"_s, u"Add new"_s));
    m_edit->setText(l.text(u"Buttons"_s, u"BtnEdit"_s, u"Edit"_s));
    m_delete->setText(l.text(u"Buttons"_s, u"BtnDelete"_s, u"Delete"_s));
    m_model->retranslate();
}

void UserDbList::reload() {
    const QString current = currentId();
    m_list->horizontalHeader()->setSortIndicatorShown(false);
    m_model->reload();
    selectEntry(current);
}

void UserDbList::selectEntry(const QString& id) {
    const int row = m_model->rowOfId(id);
    if (row < 0)
        return;
    m_list->selectRow(row);
    m_list->scrollTo(m_model->index(row, 0));
}

QString UserDbList::currentId() const {
    const QStringList ids = selectedIds();
    return ids.size() == 1 ? ids.first() : QString();
}

QStringList UserDbList::selectedIds() const {
    QList<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QStringList ids;
    for (int row : rows)
        ids.append(m_model->idAt(row));
    return ids;
}

void UserDbList::updateButtons() {
    const qsizetype selected = m_list->selectionModel()->selectedRows().size();
    m_edit->setEnabled(selected == 1);
    m_delete->setEnabled(selected > 0);
}

void UserDbList::openEditor(const QString& id, const QString& proposedWebsiteId) {
    TUserDBModify editor(m_parts, id, proposedWebsiteId, this);
    connect(&editor, &TUserDBModify::saved, this, [this](const QString& saved) {
        m_list->horizontalHeader()->setSortIndicatorShown(false);
        m_model->reload();
        selectEntry(saved);
        m_list->setFocus();
        emit userDbChanged();
    });
    editor.exec();
}

void UserDbList::editSelected() {
    const QString id = currentId();
    if (!id.isEmpty())
        openEditor(id, m_parts.stores.userDb.value(id, u"WebsiteID"_s).trimmed());
}

void UserDbList::deleteSelected() {
    const QStringList ids = selectedIds();
    if (ids.isEmpty())
        return;
    const Language& l = m_parts.language;
    const QString deleteText = l.text(u"Buttons"_s, u"BtnDelete"_s, u"Delete"_s);
    const QString question = l.text(u"CaptionsMainFrm"_s, u"UserDB_LB_ID"_s, u"Item ID (filename)"_s) +
                             ":\n"_L1 + ids.join(", "_L1) + "\n\n"_L1 + deleteText + "?"_L1;
    if (m_parts.prompter.ask(PromptIcon::Question, PromptButtons::YesNo, deleteText, question) !=
        PromptAnswer::Yes)
        return;
    removeUserDbEntries(m_parts.stores.userDb, ids);
    writeFile();
    m_model->reload();
    emit userDbChanged();
}

void UserDbList::writeFile() {
    if (!writeUserDbFile(m_parts.stores.userDb))
        reportUserDbNotSaved(m_parts.language, m_parts.prompter);
}

bool UserDbList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            deleteSelected();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() & Qt::AltModifier) {
            editSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quillon::ui
