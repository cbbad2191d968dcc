#include "ui/plugin_db_model.h"

#include <algorithm>

#include "app/ini_document.h"
#include "app/language.h"
#include "inventory/plugin_database.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

PluginDbModel::PluginDbModel(const IniDocument& pluginDb, const Language& language, QObject* parent)
    : QAbstractTableModel(parent), m_pluginDb(pluginDb), m_language(language) {
    reload();
}

void PluginDbModel::reload() {
    beginResetModel();
    m_names.clear();
    for (const QString& section : m_pluginDb.sections()) {
        if (isPluginEntrySection(section))
            m_names.append(section);
    }
    std::stable_sort(m_names.begin(), m_names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    endResetModel();
}

QString PluginDbModel::nameAt(int row) const {
    return row >= 0 && row < m_names.size() ? m_names.at(row) : QString();
}

int PluginDbModel::rowOfName(const QString& name) const {
    for (int r = 0; r < m_names.size(); ++r) {
        if (m_names.at(r).compare(name, Qt::CaseInsensitive) == 0)
            return r;
    }
    return -1;
}

int PluginDbModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

int PluginDbModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PluginDbModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::DisplayRole)
        return {};
    const QString& name = m_names.at(index.row());
    return index.column() == NameColumn ? name : m_pluginDb.value(name, dbkey::ProductName).trimmed();
}

QVariant PluginDbModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == NameColumn)
        return m_language.text(u"CaptionsPluginDB"_s, u"GbDatabase"_s, u"Database"_s);
    if (section == ProductColumn)
        return m_language.text(u"CaptionsInfoBox"_s, u"LblProductName"_s, u"Product Name"_s);
    return {};
}

} // namespace quillon::ui
