#include "ui/exclusion_list_widget.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/settings.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

ExclusionListWidget::ExclusionListWidget(const Language& language, Settings& settings, QWidget* parent)
    : QWidget(parent), m_language(language), m_settings(settings) {
    setObjectName(u"ExclusionList"_s);
    m_group = new QGroupBox(this);
    m_list = new QListWidget(m_group);
    m_list->setObjectName(u"m_ExceptionList"_s);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_remove = new QPushButton(m_group);
    m_remove->setObjectName(u"btn_RemoveException"_s);
    connect(m_remove, &QPushButton::clicked, this, &ExclusionListWidget::removeSelected);
    auto* del = new QShortcut(QKeySequence::Delete, m_list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &ExclusionListWidget::removeSelected);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_remove->setEnabled(!m_list->selectedItems().isEmpty()); });
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_remove);
    auto* inner = new QVBoxLayout(m_group);
    inner->addWidget(m_list, 1);
    inner->addLayout(row);
    (new QVBoxLayout(this))->addWidget(m_group);
    retranslate();
    reload();
}

void ExclusionListWidget::retranslate() {
    const Language& l = m_language;
    m_group->setTitle(l.text(u"CaptionsMainFrm"_s, u"UserDB_GB_ExceptionList"_s,
                             u"Exception list (files and directories left out of the list)"_s));
    m_remove->setText(l.text(u"Buttons"_s, u"BtnDelete"_s, u"Delete"_s));
}

void ExclusionListWidget::reload() {
    m_list->clear();
    m_list->addItems(m_settings.exceptionList());
    m_remove->setEnabled(false);
}

void ExclusionListWidget::removeSelected() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    for (QListWidgetItem* item : selected)
        delete item;
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i)
        lines.append(m_list->item(i)->text());
    m_settings.setExceptionList(lines);
    m_remove->setEnabled(false);
    emit changed();
}

} // namespace quillon::ui
