#pragma once
// --yes: nobody is there, but the user agreed beforehand. Questions are answered Yes / OK and
// still written to stderr as messages; without --yes they go to the command line's own rules.
#include <functional>

#include "app/prompter.h"

namespace quillon::cli {

class AgreeingPrompter : public Prompter {
public:
    AgreeingPrompter(Prompter& inner, bool agree) : m_inner(inner), m_agree(agree) {}
    // Every message is written inside this, so that a progress line can make room and wait.
    void setAroundOutput(std::function<void(const std::function<void()>&)> aroundOutput) {
        m_aroundOutput = std::move(aroundOutput);
    }

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override;
    void tell(PromptIcon icon, const QString& caption, const QString& text) override;
    QString chooseFile(const QString& caption, const QString& startPath) override;
    std::optional<PackageSelection> choosePackage(PackageChoice stored) override {
        return m_inner.choosePackage(stored);
    }

private:
    void output(const std::function<void()>& write) const {
        if (m_aroundOutput)
            m_aroundOutput(write);
        else
            write();
    }
    Prompter& m_inner;
    bool m_agree;
    std::function<void(const std::function<void()>&)> m_aroundOutput;
};

} // namespace quillon::cli
