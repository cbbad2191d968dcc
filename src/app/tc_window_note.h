#pragma once
// The status-bar note when Total Commander's window could not be reached and so counts as not
// running; empty when there is nothing to say.
#include <QString>

#include "platform/tc_window.h"

namespace quillon {

class Language;

QString TcWindowNote(platform::TcWindowProblem problem, const Language& language);

} // namespace quillon
