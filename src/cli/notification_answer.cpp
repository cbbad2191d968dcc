#include "cli/notification_answer.h"

namespace quillon::cli {

void NotificationAnswer::expect(uint id) {
    m_id = id;
    m_idKnown = true;
    const auto early = std::exchange(m_early, {});
    for (const auto& [earlyId, action] : early)
        answer(earlyId, action);
}

void NotificationAnswer::actionInvoked(uint id, const QString& action) {
    answer(id, action);
}

void NotificationAnswer::closed(uint id, uint /*reason*/) {
    answer(id, QString());
}

void NotificationAnswer::answer(uint id, const QString& action) {
    if (!m_idKnown) {
        m_early.append({id, action});
        return;
    }
    // Other programs' notifications share the signals; an action is followed by a close.
    if (id != m_id || m_answered)
        return;
    m_answered = true;
    m_action = action;
    emit answered();
}

} // namespace quillon::cli
