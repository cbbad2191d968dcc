#include "cli/agreeing_prompter.h"

namespace quillon::cli {

PromptAnswer AgreeingPrompter::ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                                   const QString& text) {
    PromptAnswer answer = buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel
                              ? PromptAnswer::Ok
                              : PromptAnswer::Yes;
    output([&] {
        if (m_agree)
            m_inner.tell(icon, caption, text);
        else
            answer = m_inner.ask(icon, buttons, caption, text);
    });
    return answer;
}

void AgreeingPrompter::tell(PromptIcon icon, const QString& caption, const QString& text) {
    output([&] { m_inner.tell(icon, caption, text); });
}

QString AgreeingPrompter::chooseFile(const QString& caption, const QString& startPath) {
    QString chosen;
    output([&] { chosen = m_inner.chooseFile(caption, startPath); });
    return chosen;
}

} // namespace quillon::cli
