#pragma once
// The tree view of the update list: group rows span the width and show their subtitle after
// the header; Total Commander's group cannot be collapsed. Keys go to the page first.
#include <QStyledItemDelegate>
#include <QTreeView>

#include <functional>

namespace quillon::ui {

class GroupRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

class UpdateListView : public QTreeView {
    Q_OBJECT
public:
    explicit UpdateListView(QWidget* parent = nullptr);
    // Returns true when the key was taken.
    void setKeyHandler(std::function<bool(QKeyEvent*)> handler) { m_keyHandler = std::move(handler); }
    // After a model reset: spans, expansion.
    void arrangeGroups();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool(QKeyEvent*)> m_keyHandler;
};

} // namespace quillon::ui
