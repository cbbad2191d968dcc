#include "app/tc_window_note.h"

#include "app/language.h"

using namespace Qt::StringLiterals;

namespace quillon {

QString TcWindowNote(platform::TcWindowProblem problem, const Language& language) {
    const QString section = u"CaptionsMainFrm"_s;
    switch (problem) {
    case platform::TcWindowProblem::WineMissing:
        return language.text(section, u"TcWindowNoWine"_s,
                             u"Wine was not found: Total Commander's window cannot be reached."_s);
    case platform::TcWindowProblem::BridgeMissing:
        return language.text(
            section, u"TcWindowNoBridge"_s,
            u"quillon-tcbridge.exe is missing: Total Commander's window cannot be reached."_s);
    case platform::TcWindowProblem::Failed:
        return language.text(section, u"TcWindowFailed"_s,
                             u"Total Commander's window did not answer through Wine."_s);
    case platform::TcWindowProblem::TimedOut:
        return language.text(section, u"TcWindowTimedOut"_s,
                             u"Wine did not answer in time: Total Commander counts as not running."_s);
    case platform::TcWindowProblem::None:
    case platform::TcWindowProblem::Cancelled:
        break;
    }
    return {};
}

} // namespace quillon
