#include "engine/check_job.h"

#include "engine/app_core.h"
#include "inventory/update_list.h"
#include "updatecheck/page_fetcher.h"

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

// What a run changes, so a cancel can put it back.
struct SavedCheckState {
    QList<SnapshotLine> rows;
    ListSnapshot snapshot;
    UpdateCheckState state;
    IniDocument settingsStore;
    IniDocument userPluginInfoStore;
};

} // namespace

CheckJobResult runUpdateCheckJob(AppCore& core, const DetectionOptions& detection, int selectedRow,
                                 const CancelToken& cancel, ProgressSink& progress) {
    UpdateList& list = core.updateList();
    SavedCheckState saved{
        {}, list.snapshot(), core.updateCheckState(), core.settingsStore(), core.userPluginInfoStore()};
    for (const UpdateItem& item : list.rows())
        saved.rows.append(SnapshotLine::fromItem(item, list.statusTexts()));

    PageFetcher& fetcher = core.pageFetcher();
    const quint8 errorKind = fetcher.ConnectionErrorKind();
    fetcher.setCancelFlag(cancel.flag());
    ProgressForwarder forwarder(progress);
    UpdateCheckRun run(core);
    run.setObserver(&forwarder);
    run.setDetectionOptions(detection);
    CheckJobResult result;
    result.run = run.run(selectedRow);
    fetcher.setCancelFlag(nullptr);

    result.cancelled = cancel.isCancelled();
    if (result.cancelled) {
        list.restoreFromSnapshot(saved.snapshot.lines());
        list.takeSnapshot();
        list.restoreFromSnapshot(saved.rows);
        core.updateCheckState() = saved.state;
        core.settingsStore() = saved.settingsStore;
        core.userPluginInfoStore() = saved.userPluginInfoStore;
        if (errorKind == kConnectionOk)
            fetcher.resetConnectionErrorKind();
    }
    return result;
}

} // namespace quillon
