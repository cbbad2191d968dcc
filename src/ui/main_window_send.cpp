// "Send to IDM..." of the update list's context menu: the selected rows' links are built as a
// job (Total Commander's package link may need its download page) and handed to the external
// download manager one at a time.
#include <QProgressBar>
#include <QTimer>

#include <memory>

#include "app/settings.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/download_manager.h"
#include "engine/update_pass.h"
#include "install/request_builder.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "ui_text.h"
#include "update_page.h"

namespace quillon::ui {
namespace {

// A manager started many times at once may open as many windows; the same pause the Windows
// manager got between links.
constexpr int kPauseBetweenLinksMs = 1500;

} // namespace

DownloadManager Ttc_Updater::downloadManager() const {
    const Settings& settings = m_core.settings();
    return FindDownloadManager(DownloadManagerSourcesFor(m_core.system(), settings.values,
                                                         settings.expandedDownloadDir(m_core.system())));
}

void Ttc_Updater::setProgramLauncher(ProgramLauncher* launcher) {
    m_launcher = launcher ? launcher : m_detachedLauncher.get();
}

void Ttc_Updater::sendToDownloadManager(const QList<int>& rows) {
    const Language& lng = m_core.language();
    const DownloadManager manager = downloadManager();
    if (!manager) {
        m_prompter.tell(PromptIcon::Error, uiText(lng, "ErrorMessages", "CaptionError", "Error"),
                        uiText(lng, "ErrorMessages", "DMnotInstalled",
                               "Unfortunately no installed download manager can be found."));
        return;
    }
    if (m_jobs->isRunning() || rows.isEmpty() || !contextMenuState().sendToManager)
        return;
    UpdatePassOptions options;
    options.rows = rows;
    options.externalManager = true;
    // The question about installing after download is the download window's own.
    options.askInstallQuestion = false;
    auto pass = std::make_shared<UpdatePass>(m_core, m_prompter, std::move(options));
    auto links = std::make_shared<QStringList>();
    setJobRunning(true, false);
    ProgressBar->setRange(0, 0);
    m_jobs->start([pass, links](const CancelToken&,
                                ProgressSink&) { *links = ExternalManagerLinks(pass->buildRequests()); },
                  [this, manager, links](bool cancelled) {
                      setJobRunning(false, false);
                      ProgressBar->setRange(0, 100);
                      ProgressBar->setValue(0);
                      refreshViews(View::Counters);
                      if (cancelled)
                          return;
                      for (qsizetype i = 0; i < links->size(); ++i) {
                          const QString link = links->at(i);
                          const auto send = [this, manager, link] {
                              SendURLToIDM(manager, link, *m_launcher);
                          };
                          if (i == 0)
                              send();
                          else
                              QTimer::singleShot(static_cast<int>(i) * kPauseBetweenLinksMs, this, send);
                      }
                  });
}

} // namespace quillon::ui
