#pragma once
// The other tests of this program need no application object; the window tests need widgets.
#include <QApplication>

namespace quillon::test {

inline void ensureApplication() {
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_wine";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the program ends
}

} // namespace quillon::test
