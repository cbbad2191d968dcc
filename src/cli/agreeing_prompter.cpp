#include "cli/agreeing_prompter.h"

namespace quillon::cli {

PromptAnswer AgreeingPrompter::ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                                   const QString& text) {
    beforeOutput();
    if (!m_agree)
        return m_inner.ask(icon, buttons, caption, text);
    m_inner.tell(icon, caption, text);
    return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                              : PromptAnswer::Yes;
}

void AgreeingPrompter::tell(PromptIcon icon, const QString& caption, const QString& text) {
    beforeOutput();
    m_inner.tell(icon, caption, text);
}

QString AgreeingPrompter::chooseFile(const QString& caption, const QString& startPath) {
    beforeOutput();
    return m_inner.chooseFile(caption, startPath);
}

} // namespace quillon::cli
