#pragma once
// The command line's answer to the core's questions: nobody is there to ask, so every question
// takes its cautious default (No, Cancel) and every message goes to the error stream.
#include <QTextStream>

#include "app/prompter.h"

namespace quillon::cli {

class CliPrompter : public Prompter {
public:
    explicit CliPrompter(QTextStream& err) : m_err(err) {}

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override;
    void tell(PromptIcon icon, const QString& caption, const QString& text) override;
    QString chooseFile(const QString& caption, const QString& startPath) override;
    std::optional<PackageSelection> choosePackage(PackageChoice stored) override;

private:
    void print(const QString& caption, const QString& text);

    QTextStream& m_err;
};

} // namespace quillon::cli
