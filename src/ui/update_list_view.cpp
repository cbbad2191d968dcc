#include "update_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include "update_list_model.h"

namespace quillon::ui {

void GroupRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    if (!index.data(UpdateListModel::IsGroupRole).toBool()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString header = opt.text;
    const QString subtitle = index.data(UpdateListModel::SubtitleRole).toString();
    opt.text.clear();
    opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect area = opt.rect.adjusted(4, 0, -4, 0);
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(QPalette::Text));
    painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, header);
    const int used = QFontMetrics(opt.font).horizontalAdvance(header) + 12;
    QFont small = option.font;
    small.setItalic(true);
    painter->setFont(small);
    painter->setPen(opt.palette.color(QPalette::PlaceholderText));
    const QRect rest = area.adjusted(used, 0, 0, 0);
    painter->drawText(rest, Qt::AlignVCenter | Qt::AlignLeft,
                      QFontMetrics(small).elidedText(subtitle, Qt::ElideRight, rest.width()));
    painter->restore();
}

UpdateListView::UpdateListView(QWidget* parent) : QTreeView(parent) {
    setItemDelegate(new GroupRowDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setAlternatingRowColors(false);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (m_fitting || column < 1 || column > 3)
            return;
        if (m_givenWidths.isEmpty())
            m_givenWidths = {columnWidth(1), columnWidth(2), columnWidth(3)};
        m_givenWidths[column - 1] = width;
        fitColumns();
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        // Total Commander's group is the first when present and always stays open.
        auto* listModel = qobject_cast<UpdateListModel*>(model());
        if (listModel && listModel->groupIndex(ItemGroup::TC) == index)
            expand(index);
    });
}

void UpdateListView::arrangeGroups() {
    for (int g = 0; g < model()->rowCount(); ++g)
        setFirstColumnSpanned(g, {}, true);
    expandAll();
}

void UpdateListView::keyPressEvent(QKeyEvent* event) {
    if (m_keyHandler && m_keyHandler(event)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void UpdateListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    fitColumns();
}

void UpdateListView::fitColumns() {
    if (m_givenWidths.isEmpty() || m_fitting)
        return;
    const int width = viewport()->width();
    const int given = m_givenWidths.at(0) + m_givenWidths.at(1) + m_givenWidths.at(2);
    const int room = width - width * 2 / 5;
    if (given <= 0 || width <= 0)
        return;
    m_fitting = true;
    for (int c = 1; c <= 3; ++c) {
        const int w = m_givenWidths.at(c - 1);
        setColumnWidth(c, given > room ? std::max(24, w * room / given) : w);
    }
    m_fitting = false;
}

} // namespace quillon::ui
