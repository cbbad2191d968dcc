#include "cli/verify_command.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/language.h"
#include "app/plugin_load_text.h"
#include "app/system.h"
#include "cli/interrupt_guard.h"
#include "engine/app_core.h"
#include "inventory/inventory_pass.h"
#include "inventory/plugin_load_files.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

// A FILE argument: an existing file, else the inventory's files of that name.
QStringList filesNamed(const QString& argument, const QStringList& inventory) {
    if (QFileInfo(argument).isFile())
        return {QFileInfo(argument).absoluteFilePath()};
    QStringList found;
    for (const QString& file : inventory)
        if (QFileInfo(file).fileName().compare(argument, Qt::CaseInsensitive) == 0)
            found.append(file);
    return found;
}

} // namespace

int VerifyCommand::execute() {
    const Language& language = m_core.language();
    platform::PluginLoadCheck& check = m_core.system().platform().pluginLoads();
    if (!check.available()) {
        m_err << "quillon-cli: " << PluginLoadText({platform::PluginLoadState::NoWine, {}}, language)
              << Qt::endl;
        return ExitUsage;
    }
    const CancelToken cancel;
    const InterruptGuard interrupts(cancel);
    const InventoryPassResult pass = m_core.runInventoryPass(cancel);
    if (pass.cancelled)
        return cancelled();
    const QStringList inventory = PluginLoadFiles(m_core.updateList());
    QStringList files = m_files.isEmpty() ? inventory : QStringList();
    for (const QString& argument : m_files) {
        const QStringList named = filesNamed(argument, inventory);
        if (named.isEmpty()) {
            m_err << "quillon-cli: verify: no plugin file " << argument << Qt::endl;
            return ExitUsage;
        }
        files += named;
    }
    if (files.isEmpty() && !m_json)
        m_out << language.text(u"PluginLoadCheck"_s, u"NoPlugins"_s, u"There is no plugin to check."_s)
              << '\n';

    QJsonArray rows;
    int broken = 0;
    for (const QString& file : files) {
        const platform::PluginLoadResult result = check.check(file.toStdString(), cancel.flag());
        if (result.state == platform::PluginLoadState::Cancelled)
            return cancelled();
        broken += result.broken() ? 1 : 0;
        const QString text = PluginLoadText(result, language);
        if (m_json)
            rows.append(
                QJsonObject{{u"path"_s, file},
                            {u"state"_s, QString::fromStdString(platform::pluginLoadStateName(result.state))},
                            {u"loads"_s, result.loads()},
                            {u"broken"_s, result.broken()},
                            {u"detail"_s, QString::fromStdString(result.detail)},
                            {u"text"_s, text}});
        else
            m_out << file << ": " << text << '\n';
    }
    if (m_json) {
        const QJsonObject counts{{u"total"_s, files.size()}, {u"broken"_s, broken}};
        m_out << QJsonDocument(QJsonObject{{u"plugins"_s, rows}, {u"counts"_s, counts}}).toJson();
    } else if (!files.isEmpty()) {
        m_out << language.format(u"PluginLoadCheck"_s, u"Summary"_s,
                                 u"%s1 plugins checked, %s2 do not load."_s,
                                 {{}, QString::number(files.size()), QString::number(broken)})
              << '\n';
    }
    m_out.flush();
    return broken ? ExitFailed : ExitDone;
}

} // namespace quillon::cli
