#pragma once
// The update check as a job: it runs on any thread, reports its progress, stops when its token
// is cancelled and then leaves the list, the check's state and the stores as they were before
// it started. The owner must not touch the core while the job runs.
#include "app/job_control.h"
#include "engine/check_run.h"

namespace quillon {

struct CheckJobResult {
    CheckRunResult run;
    bool cancelled = false;
};

// selectedRow: the selected row, or -1. detection: the Configuration page's options as they
// stand now (the reload question compares them with the stored ones).
CheckJobResult runUpdateCheckJob(AppCore& core, const DetectionOptions& detection, int selectedRow,
                                 const CancelToken& cancel, ProgressSink& progress);

} // namespace quillon
