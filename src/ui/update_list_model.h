#pragma once
// The update list as an item model: the groups present are the top-level items, their rows the
// children, with the row's mark as its check state and the state colours on the status column.
// The model holds a copy of the core's rows, taken on the window's thread whenever a job or a
// command has changed them, so a job on a worker thread never races the view.
#include <QAbstractItemModel>
#include <QColor>
#include <QHash>
#include <QList>

#include "inventory/update_list.h"

namespace quillon::ui {

struct GroupCaption {
    QString header;
    QString subtitle;
};

class UpdateListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { NameColumn, InstalledColumn, LatestColumn, StatusColumn, PathColumn, ColumnCount };
    static constexpr int SubtitleRole = Qt::UserRole + 1;
    static constexpr int IsGroupRole = Qt::UserRole + 2;

    explicit UpdateListModel(QObject* parent = nullptr);

    // Rebuilds everything from the core's list (a reset).
    void reload(const UpdateList& list);
    // One row changed in the core's list (mark, state, versions).
    void refreshRow(const UpdateList& list, int row);
    // The same rows in the same groups take their new contents without a reset, so the view
    // keeps its layout, its collapsed groups and its scroll position. False (and nothing
    // changed) when the list has another shape.
    bool refreshContents(const UpdateList& list);
    // Column titles, group captions: a language change.
    void setCaptions(const QStringList& columnTitles, const QList<GroupCaption>& groups);
    // While a job runs the marks cannot be changed.
    void setReadOnly(bool readOnly);
    // Each row's file shows its own icon beside its name (GUI/ShowPlugIcons).
    void setShowIcons(bool show);
    // What happened to a row's update that its status cannot say (an update put back because it
    // does not load): shown in its place, in the status's colour, across reloads; empty clears.
    void setStatusNote(const QString& filePath, const QString& note);

    // The core's row index of an index (any column), -1 for a group or an invalid index.
    int coreRow(const QModelIndex& index) const;
    QModelIndex indexOfRow(int coreRow, int column = 0) const;
    QModelIndex groupIndex(ItemGroup group) const;
    int rowCountTotal() const { return static_cast<int>(m_rows.size()); }

    static QColor stateColour(ItemState state);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The user changed a row's mark; the owner writes it into the core's list.
    void markToggled(int coreRow, bool checked);

private:
    struct Group {
        ItemGroup id;
        QList<int> rows; // core row indices
    };
    QVariant rowData(int coreRow, int column, int role) const;
    QVariant groupData(const Group& group, int column, int role) const;

    QList<UpdateItem> m_rows;
    QList<ItemState> m_states;
    QHash<QString, QString> m_statusNotes; // file path, lower case -> note
    QList<Group> m_groups;
    QList<QPair<int, int>> m_position; // core row -> (group position, child row)
    QStringList m_columnTitles;
    QList<GroupCaption> m_captions; // by group id
    bool m_readOnly = false;
    bool m_showIcons = false;
};

} // namespace quillon::ui
