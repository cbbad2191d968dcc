#include "program_arguments.h"

namespace quillon::ui {

QStringList ProgramArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace quillon::ui
