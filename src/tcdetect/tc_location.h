#pragma once
// The Total Commander the program looks after: where it is and how its window is called. Found
// at start-up and by every inventory pass; its executable and title change again after an update
// of Total Commander itself.
#include <QString>

namespace quillon {

struct TcLocation {
    QString dir;
    QString iniFile;     // wincmd.ini in use
    QString exeFile;     // the executable, empty when none was found
    QString windowTitle; // of its running window, empty when it does not run
};

} // namespace quillon
