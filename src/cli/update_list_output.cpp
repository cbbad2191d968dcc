#include "cli/update_list_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/common/files.h"
#include "cli/terminal_text.h"
#include "engine/app_core.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

QString stateName(ItemState state) {
    switch (state) {
    case ItemState::Ok:
        return u"ok"_s;
    case ItemState::Update:
        return u"update"_s;
    case ItemState::Unknown:
        return u"unknown"_s;
    }
    return u"unknown"_s;
}

} // namespace

void PrintUpdateListJson(const AppCore& core, const QStringList& errors, QTextStream& out) {
    const UpdateList& list = core.updateList();
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
    const QJsonObject tc{{u"dir"_s, WithoutTrailingSlash(core.tc().dir)},
                         {u"ini"_s, core.tc().iniFile},
                         {u"exe"_s, core.tc().exeFile}};
    const QJsonObject root{{u"totalCommander"_s, tc},
                           {u"items"_s, items},
                           {u"counts"_s, counts},
                           {u"errors"_s, QJsonArray::fromStringList(errors)}};
    out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

void PrintUpdateListTable(const AppCore& core, QTextStream& out, QTextStream& err) {
    const UpdateList& list = core.updateList();
    const QStringList header{u"Group"_s, u"Name"_s, u"Installed"_s, u"Latest"_s, u"State"_s, u"Path"_s};
    QList<QStringList> lines{header};
    for (int row = 0; row < list.rowCount(); ++row) {
        const UpdateItem& item = list.row(row);
        QStringList cells{groupShortName(item.Group), item.Name,    item.InstalledVersion, item.LatestVersion,
                          item.Status.trimmed(),      item.FilePath};
        for (QString& cell : cells)
            cell = TerminalSafe(cell);
        lines.append(cells);
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
        out << text << '\n';
    }
    out << '\n'
        << list.rowCount() << " items: " << list.countInState(ItemState::Update) << " updatable, "
        << list.countInState(ItemState::Ok) << " up to date, " << list.countInState(ItemState::Unknown)
        << " unknown\n";
    // The pass's own messages already went to stderr through the prompter.
    const QStringList problems = core.databaseState().problems;
    for (const QString& problem : problems)
        err << TerminalSafe(problem, LineBreaks::Keep) << '\n';
    err.flush();
}

} // namespace quillon::cli
