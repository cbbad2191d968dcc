#pragma once
// Every question and message of the core goes through this interface: message boxes in the
// GUI, stated non-interactive rules in the CLI, scripted answers in tests.
#include <QString>

namespace quillon {

enum class PromptIcon { Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                             const QString& text) = 0;
    virtual void tell(PromptIcon icon, const QString& caption, const QString& text) = 0;
    // A file to open (the manual plugin-list file, ...); empty when the user declines.
    virtual QString chooseFile(const QString& caption, const QString& startPath) = 0;
};

} // namespace quillon
