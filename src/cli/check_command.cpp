#include "cli/check_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/app_core.h"
#include "app/language.h"
#include "app/settings.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "updatecheck/check_run.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith('/'_L1))
        path.chop(1);
    return path;
}

QString stateName(ItemState state) {
    switch (state) {
    case ItemState::Ok:
        return u"ok"_s;
    case ItemState::Update:
        return u"update"_s;
    case ItemState::Unknown:
        break;
    }
    return u"unknown"_s;
}

} // namespace

bool CheckCommand::CatalogueGaveNothing(const CheckRunResult& result, const AppCore& core, QTextStream& err,
                                        QStringList& errors) {
    if (!result.catalogueFetched || result.recordCount > 0)
        return false;
    if (result.errors.isEmpty()) {
        const QString message = u"The plugin catalogue gave no record (%1)."_s.arg(
            core.settings().values.siteCatalogue + u"get_plugins_list.php"_s);
        err << "quillon-cli: " << message << Qt::endl;
        errors.append(message);
    }
    return true;
}

int CheckCommand::execute() {
    const InventoryPassResult pass = m_core.runInventoryPass();
    QStringList errors = pass.errors + m_core.databaseState().problems;
    bool failed = !pass.configFound;

    if (pass.configFound) {
        PageFetcher fetcher(FetchSettings::fromSettings(m_core.settings().values), m_core.prompter(),
                            m_core.language());
        UpdateCheckState state;
        state.listLoaded(!m_core.settings().values.tcDisabled && !pass.tcRow);
        UpdateCheckRun run(m_core, fetcher, state);
        const CheckRunResult result = run.btn_SearchUpdatesClick();
        errors += result.errors;
        failed = CatalogueGaveNothing(result, m_core, m_err, errors) || failed;
    }

    if (m_json)
        printJson(errors);
    else
        printTable();
    m_out.flush();
    return failed ? ExitFailed : ExitDone;
}

void CheckCommand::printJson(const QStringList& errors) {
    const UpdateList& list = m_core.updateList();
    QJsonArray items;
    for (int row = 0; row < list.rowCount(); ++row) {
        const UpdateItem& item = list.row(row);
        items.append(QJsonObject{
            {u"group"_s, groupShortName(item.Group)},
            {u"name"_s, item.Name},
            {u"installed"_s, item.InstalledVersion},
            {u"latest"_s, item.LatestVersion},
            {u"state"_s, stateName(list.state(row))},
            {u"status"_s, item.Status.trimmed()},
            {u"path"_s, item.FilePath},
            {u"checked"_s, item.Checked},
        });
    }
    const QJsonObject counts{{u"total"_s, list.rowCount()},
                             {u"update"_s, list.countInState(ItemState::Update)},
                             {u"ok"_s, list.countInState(ItemState::Ok)},
                             {u"unknown"_s, list.countInState(ItemState::Unknown)}};
    const QJsonObject tc{{u"dir"_s, withoutTrailingSlash(m_core.TCDir())},
                         {u"ini"_s, m_core.TCIniFile()},
                         {u"exe"_s, m_core.TCExeFile()}};
    const QJsonObject root{{u"totalCommander"_s, tc},
                           {u"items"_s, items},
                           {u"counts"_s, counts},
                           {u"errors"_s, QJsonArray::fromStringList(errors)}};
    m_out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

void CheckCommand::printTable() {
    const UpdateList& list = m_core.updateList();
    const QStringList header{u"Group"_s, u"Name"_s, u"Installed"_s, u"Latest"_s, u"State"_s, u"Path"_s};
    QList<QStringList> lines{header};
    for (int row = 0; row < list.rowCount(); ++row) {
        const UpdateItem& item = list.row(row);
        lines.append({groupShortName(item.Group), item.Name, item.InstalledVersion, item.LatestVersion,
                      item.Status.trimmed(), item.FilePath});
    }
    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList& line : std::as_const(lines)) {
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line[c].size());
    }
    for (const QStringList& line : std::as_const(lines)) {
        QString text;
        for (qsizetype c = 0; c < line.size(); ++c)
            text += c + 1 < line.size() ? line[c].leftJustified(widths[c] + 2) : line[c];
        m_out << text << '\n';
    }
    m_out << '\n'
          << list.rowCount() << " items: " << list.countInState(ItemState::Update) << " updatable, "
          << list.countInState(ItemState::Ok) << " up to date, " << list.countInState(ItemState::Unknown)
          << " unknown\n";
    for (const QString& problem : m_core.databaseState().problems)
        m_err << problem << '\n';
    m_err.flush();
}

} // namespace quillon::cli
