#pragma once
// --yes: nobody is there, but the user agreed beforehand. Questions are answered Yes / OK and
// still written to stderr as messages; without --yes they go to the command line's own rules.
#include <functional>

#include "app/prompter.h"

namespace quillon::cli {

class AgreeingPrompter : public Prompter {
public:
    AgreeingPrompter(Prompter& inner, bool agree) : m_inner(inner), m_agree(agree) {}
    // Called before every message, so that a progress line can make room.
    void setBeforeOutput(std::function<void()> beforeOutput) { m_beforeOutput = std::move(beforeOutput); }

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override;
    void tell(PromptIcon icon, const QString& caption, const QString& text) override;
    QString chooseFile(const QString& caption, const QString& startPath) override;
    std::optional<PackageSelection> choosePackage(PackageChoice stored) override {
        return m_inner.choosePackage(stored);
    }

private:
    void beforeOutput() const {
        if (m_beforeOutput)
            m_beforeOutput();
    }
    Prompter& m_inner;
    bool m_agree;
    std::function<void()> m_beforeOutput;
};

} // namespace quillon::cli
