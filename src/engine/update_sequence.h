#pragma once
// "Download the marked items" from the requests to the list checked again, in one order for
// both front ends: build the requests (owner's thread), run the pass (any thread), finish it
// (owner's thread), clean up, then reload the list and check it again when the pass asks for
// that. The command line takes the steps in place; the window runs the pass and the reload and
// check as jobs and takes the other steps on its own thread. Every installation's outcome is
// applied to the core on the owner's thread, as it comes (the window) or at the finish (both).
#include <QList>

#include "engine/update_pass.h"

namespace quillon {

class AppCore;
class Prompter;

class UpdateSequence {
public:
    UpdateSequence(AppCore& core, Prompter& prompter, UpdatePassOptions options);
    UpdateSequence(const UpdateSequence&) = delete;
    UpdateSequence& operator=(const UpdateSequence&) = delete;

    // Build: the requests of the chosen rows (may ask the one-time install question and which
    // Total Commander package to take). Owner's thread.
    const DownloadRequestList& build() { return m_pass.buildRequests(); }
    // Run: every request fetched and each finished file installed; stops with its token. Any
    // thread, once, after build().
    void run(const CancelToken& cancel) { m_pass.run(cancel); }
    // One installation's outcome (of the pass or a reinstall) applied to the core's list and
    // stores. Owner's thread. The rows of the list that changed.
    QList<int> applyInstalled(int index, const InstallStepResult& result);
    // Finish: the outcomes not applied yet are applied, then the end-of-pass messages (none
    // after a cancel). Owner's thread, after run(). What follows the pass.
    EndOfPassAction finish();
    // Clean up: partial files and packages marked for deletion go, once the pass's files are no
    // longer wanted (the command line at once, the window when it closes).
    void cleanUp() { m_pass.cleanUp(); }
    // Reload and check follow when the pass put a new plugin database in place.
    bool reloadAndCheckDue() const { return m_action == EndOfPassAction::ReloadAndCheck; }
    // The running program was replaced: it must be started again.
    bool restartRequired() const { return m_pass.restartRequired(); }

    UpdatePass& pass() { return m_pass; }
    const UpdatePass& pass() const { return m_pass; }

private:
    AppCore& m_core;
    UpdatePass m_pass;
    QList<bool> m_applied; // by request index
    EndOfPassAction m_action = EndOfPassAction::None;
};

} // namespace quillon
