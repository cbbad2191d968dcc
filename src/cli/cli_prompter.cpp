#include "cli/cli_prompter.h"

#include "app/scripted_prompter.h"
#include "cli/terminal_text.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

QString answerName(PromptAnswer answer) {
    switch (answer) {
    case PromptAnswer::Ok:
        return u"OK"_s;
    case PromptAnswer::Cancel:
        return u"Cancel"_s;
    case PromptAnswer::Yes:
        return u"Yes"_s;
    case PromptAnswer::No:
        return u"No"_s;
    }
    return {};
}

} // namespace

PromptAnswer CliPrompter::ask(PromptIcon, PromptButtons buttons, const QString& caption,
                              const QString& text) {
    const PromptAnswer answer = ScriptedPrompter::defaultAnswer(buttons);
    print(caption, text + u" ["_s + answerName(answer) + u"]"_s);
    return answer;
}

void CliPrompter::tell(PromptIcon, const QString& caption, const QString& text) {
    print(caption, text);
}

QString CliPrompter::chooseFile(const QString& caption, const QString&) {
    print(caption, u"no file chosen [Cancel]"_s);
    return {};
}

std::optional<PackageSelection> CliPrompter::choosePackage(PackageChoice stored) {
    return PackageSelection{stored, false};
}

void CliPrompter::print(const QString& caption, const QString& text) {
    // Message texts carry Windows line breaks.
    QString flat = text;
    flat.replace("\r\n"_L1, "\n"_L1);
    m_err << TerminalSafe(caption.trimmed()) << ": " << TerminalSafe(flat, LineBreaks::Keep) << Qt::endl;
}

} // namespace quillon::cli
