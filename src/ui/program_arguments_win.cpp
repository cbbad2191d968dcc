#include "program_arguments.h"

#include <windows.h>

#include <shellapi.h>

namespace quillon::ui {

// argv holds the ANSI code page's form, which loses every character the page cannot write (a
// settings folder named in another script); the wide command line keeps them.
QStringList ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList arguments;
    if (wide) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        LocalFree(wide);
        return arguments;
    }
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace quillon::ui
