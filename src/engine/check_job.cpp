#include "engine/check_job.h"

#include "app/language.h"
#include "app/settings.h"
#include "engine/app_core.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class ProgressForwarder final : public CheckRunObserver {
public:
    explicit ProgressForwarder(ProgressSink& sink) : m_sink(sink) {}
    void setProgress(int value) override { m_sink.report({QString(), value, 100}); }
    void setProgressToMaximum() override { m_sink.report({QString(), 100, 100}); }

private:
    ProgressSink& m_sink;
};

} // namespace

struct CheckJob::Copies {
    UpdateList list;
    UpdateCheckState state;
    PageFetcher fetcher;
    IniDocument settingsStore;
    IniDocument userPluginInfoStore;
};

bool AskReloadBeforeCheck(AppCore& core, const DetectionOptions& detection) {
    const Language& language = core.language();
    const TextLookup texts = [&language](const QString& s, const QString& k, const QString& e) {
        return language.text(s, k, e);
    };
    return CheckForConfigChange(core.settings(), detection, core.stores().settings, core.prompter(), texts);
}

CheckJob::CheckJob(AppCore& core, const DetectionOptions& detection)
    : m_core(core), m_detection(detection),
      m_copies(std::make_unique<Copies>(Copies{core.updateList(), core.updateCheckState(), core.pageFetcher(),
                                               core.stores().settings, core.stores().userPluginInfo})) {
    // The copy tells no view: the owner's model follows the owner's list.
    m_copies->list.setObserver(nullptr);
}

CheckJob::~CheckJob() = default;

CheckJobResult CheckJob::run(int selectedRow, const CancelToken& cancel, ProgressSink& progress) {
    Copies& c = *m_copies;
    const IniDocument settingsBefore = c.settingsStore;
    const IniDocument userPluginInfoBefore = c.userPluginInfoStore;
    c.fetcher.setCancelFlag(cancel.flag());
    ProgressForwarder forwarder(progress);
    UpdateCheckRun run(m_core,
                       CheckWorkspace{c.list, c.state, c.fetcher, c.settingsStore, c.userPluginInfoStore});
    run.setObserver(&forwarder);
    run.setDetectionOptions(m_detection);
    CheckJobResult result;
    result.run = run.run(selectedRow);
    c.fetcher.setCancelFlag(nullptr);
    result.cancelled = cancel.isCancelled();
    if (!result.cancelled)
        result.outcome = CheckOutcome{c.list, c.state, c.fetcher.ConnectionErrorKind(),
                                      IniEditsBetween(settingsBefore, c.settingsStore),
                                      IniEditsBetween(userPluginInfoBefore, c.userPluginInfoStore)};
    return result;
}

void ApplyCheckOutcome(AppCore& core, const CheckOutcome& outcome) {
    core.updateList().replaceWith(outcome.list);
    core.updateCheckState() = outcome.state;
    core.pageFetcher().setConnectionErrorKind(outcome.connectionErrorKind);
    ApplyIniEdits(core.stores().settings, outcome.settings);
    ApplyIniEdits(core.stores().userPluginInfo, outcome.userPluginInfo);
}

CheckJobResult RunUpdateCheck(AppCore& core, const DetectionOptions& detection, int selectedRow,
                              const CancelToken& cancel, ProgressSink& progress) {
    bool reloaded = false;
    if (AskReloadBeforeCheck(core, detection)) {
        if (core.ReloadList(cancel).cancelled)
            return CheckJobResult{{}, true, std::nullopt};
        reloaded = true;
    }
    CheckJob job(core, detection);
    CheckJobResult result = job.run(selectedRow, cancel, progress);
    result.run.reloaded = reloaded;
    if (result.outcome)
        ApplyCheckOutcome(core, *result.outcome);
    return result;
}

} // namespace quillon
