#pragma once
// The program's arguments before the application object exists (--help answers without a
// display), each as the user typed it.
#include <QStringList>

namespace quillon::ui {

QStringList ProgramArguments(int argc, char** argv);

} // namespace quillon::ui
