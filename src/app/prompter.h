#pragma once
// Every question and message of the core goes through this interface: message boxes in the
// GUI, stated non-interactive rules in the CLI, scripted answers in tests.
#include <QString>

#include <optional>

#include "app/setting_modes.h"

namespace quillon {

enum class PromptIcon { Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Which Total Commander package to download, and whether to ask again next time.
struct PackageSelection {
    PackageChoice packageChoice = PackageChoice::Unified;
    bool remember = true;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                             const QString& text) = 0;
    virtual void tell(PromptIcon icon, const QString& caption, const QString& text) = 0;
    // A file to open (the manual plugin-list file, ...); empty when the user declines.
    virtual QString chooseFile(const QString& caption, const QString& startPath) = 0;
    // Which Total Commander package to download; nothing when the user wants none now. Without
    // a person to ask, the stored choice, not remembered as an answer.
    virtual std::optional<PackageSelection> choosePackage(PackageChoice stored) = 0;
};

} // namespace quillon
