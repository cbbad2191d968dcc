#pragma once
// The entries of a plugin database as a table: the entry name and its product name.
#include <QAbstractTableModel>
#include <QStringList>

namespace quillon {
class IniDocument;
class Language;
} // namespace quillon

namespace quillon::ui {

class PluginDbModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, ProductColumn, ColumnCount };

    PluginDbModel(const IniDocument& pluginDb, const Language& language, QObject* parent = nullptr);

    // Entries again from the database (all sections but DBInfo and Configuration), by name.
    void reload();
    QString nameAt(int row) const;
    int rowOfName(const QString& name) const; // letter case ignored; -1 when none

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const IniDocument& m_pluginDb;
    const Language& m_language;
    QStringList m_names;
};

} // namespace quillon::ui
