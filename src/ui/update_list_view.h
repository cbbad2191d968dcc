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
    void resizeEvent(QResizeEvent* event) override;

private:
    // The columns beside the names keep the widths they were given (by the user or the stored
    // settings) while the names keep at least two fifths of the list; a narrower list narrows
    // them in proportion, a wider one gives them their widths back.
    void fitColumns();

    std::function<bool(QKeyEvent*)> m_keyHandler;
    QList<int> m_givenWidths; // columns 1..3; empty until given
    bool m_fitting = false;
};

} // namespace quillon::ui
