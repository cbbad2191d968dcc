#pragma once
// The update check as a job: made on the owner's thread from copies of the list, the check's
// state, the page fetcher and the stores the check writes; run on any thread; its outcome
// applied by the owner on its own thread. A cancelled job's outcome is dropped: the core never
// saw it.
#include <memory>
#include <optional>

#include "app/ini_edits.h"
#include "app/job_control.h"
#include "engine/check_run.h"
#include "inventory/update_list.h"

namespace quillon {

// What a finished check changed.
struct CheckOutcome {
    UpdateList list;
    UpdateCheckState state;
    quint8 connectionErrorKind = 0;
    IniEdits settings;
    IniEdits userPluginInfo;
};

struct CheckJobResult {
    CheckRunResult run;
    bool cancelled = false;
    std::optional<CheckOutcome> outcome; // none after a cancel
};

// Owner's thread, before a check: the one-time question whether changed detection options
// should reload the list first. True when the user wants that (the caller reloads, then checks).
bool AskReloadBeforeCheck(AppCore& core, const DetectionOptions& detection);

class CheckJob {
public:
    // Owner's thread. detection: the Configuration page's options as they stand now.
    CheckJob(AppCore& core, const DetectionOptions& detection);
    ~CheckJob();
    CheckJob(const CheckJob&) = delete;
    CheckJob& operator=(const CheckJob&) = delete;

    // Any thread, once. selectedRow: the selected row, or -1.
    CheckJobResult run(int selectedRow, const CancelToken& cancel, ProgressSink& progress);

private:
    struct Copies;
    AppCore& m_core;
    DetectionOptions m_detection;
    std::unique_ptr<Copies> m_copies;
};

// Owner's thread: the outcome of a finished check becomes the core's.
void ApplyCheckOutcome(AppCore& core, const CheckOutcome& outcome);

// The whole check in place, for a caller without a window (the CLI): the reload question (and
// the reload), the job, and its outcome applied unless cancelled.
CheckJobResult RunUpdateCheck(AppCore& core, const DetectionOptions& detection, int selectedRow,
                              const CancelToken& cancel, ProgressSink& progress);

} // namespace quillon
