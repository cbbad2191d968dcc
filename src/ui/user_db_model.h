#pragma once
// The user database as a table: ID (file name), WEB identifier, Links ("AU", "DL", "AU + DL").
#include <QAbstractTableModel>

#include "inventory/user_database.h"

namespace quillon {
class IniDocument;
class Language;
} // namespace quillon

namespace quillon::ui {

class UserDbModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { IdColumn, WebColumn, LinksColumn, ColumnCount };

    UserDbModel(const IniDocument& userDb, const Language& language, QObject* parent = nullptr);

    // Rows again from the store, in name order.
    void reload();
    QString idAt(int row) const;
    int rowOfId(const QString& id) const; // -1 when none

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Text without regard to letter case; the same column again reverses.
    void sort(int column, Qt::SortOrder order) override;
    void retranslate();

private:
    const IniDocument& m_userDb;
    const Language& m_language;
    QList<UserDbRow> m_rows;
};

} // namespace quillon::ui
