#include "engine/update_sequence.h"

#include "engine/app_core.h"

namespace quillon {

UpdateSequence::UpdateSequence(AppCore& core, Prompter& prompter, UpdatePassOptions options)
    : m_core(core), m_pass(core, prompter, std::move(options)) {}

QList<int> UpdateSequence::applyInstalled(int index, const InstallStepResult& result) {
    if (index >= 0) {
        while (m_applied.size() <= index)
            m_applied.append(false);
        m_applied[index] = true;
    }
    return m_core.applyRowsRefresh(result.refresh);
}

EndOfPassAction UpdateSequence::finish() {
    const QList<InstallStepResult>& installs = m_pass.installs();
    for (int index = 0; index < installs.size(); ++index) {
        if (index >= m_applied.size() || !m_applied.at(index))
            applyInstalled(index, installs.at(index));
    }
    m_action = m_pass.finish();
    return m_action;
}

} // namespace quillon
