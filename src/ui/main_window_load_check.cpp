// "Check that it loads": the selected plugin rows loaded by the plugin load check, off the
// window's thread; each result is kept for the information box and summed up in one message.
#include <QFileInfo>
#include <QProgressBar>

#include <memory>

#include "app/language.h"
#include "app/plugin_load_text.h"
#include "app/prompter.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "info_box.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "platform/platform.h"
#include "ui_text.h"
#include "update_page.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

QStringList Ttc_Updater::selectedPluginFiles() const {
    QStringList files;
    for (const int row : m_update->selectedRows()) {
        const QString& path = m_core.updateList().row(row).FilePath;
        if (platform::isPluginFileName(QFileInfo(path).fileName().toStdString()))
            files.append(path);
    }
    return files;
}

void Ttc_Updater::checkSelectedPluginsLoad() {
    const QStringList files = selectedPluginFiles();
    if (m_jobs->isRunning() || files.isEmpty())
        return;
    QStringList expanded;
    for (const QString& file : files)
        expanded.append(m_core.system().expandEnvPath(file));
    platform::PluginLoadCheck& check = m_core.system().platform().pluginLoads();
    auto results = std::make_shared<QList<platform::PluginLoadResult>>();
    setJobRunning(true, false);
    ProgressBar->setRange(0, static_cast<int>(files.size()));
    showStatus(uiText(m_core.language(), "PluginLoadCheck", "MenuCheckLoads", "Check that it loads"));
    m_jobs->start(
        [&check, expanded, results](const CancelToken& token, ProgressSink& sink) {
            for (const QString& file : expanded) {
                if (token.isCancelled())
                    break;
                results->append(check.check(file.toStdString(), token.flag()));
                sink.report({QFileInfo(file).fileName(), results->size(), expanded.size()});
            }
        },
        [this, files, results](bool) {
            setJobRunning(false, false);
            ProgressBar->setRange(0, 100);
            ProgressBar->setValue(0);
            showStatus(QString());
            const Language& lng = m_core.language();
            QStringList lines;
            int broken = 0;
            for (qsizetype i = 0; i < results->size(); ++i) {
                const QString text = PluginLoadText(results->at(i), lng);
                m_infoBox->setLoadCheckResult(files.at(i), text);
                lines.append(QFileInfo(files.at(i)).fileName() + u": "_s + text);
                broken += results->at(i).broken() ? 1 : 0;
            }
            m_infoBox->refresh();
            const QString summary =
                lng.format(u"PluginLoadCheck"_s, u"Summary"_s, u"%s1 plugins checked, %s2 do not load."_s,
                           {std::nullopt, QString::number(results->size()), QString::number(broken)});
            m_prompter.tell(broken ? PromptIcon::Warning : PromptIcon::Information,
                            uiText(lng, "PluginLoadCheck", "MenuCheckLoads", "Check that it loads"),
                            summary + u"\n\n"_s + lines.join(u'\n'));
        });
}

} // namespace quillon::ui
