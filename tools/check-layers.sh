#!/usr/bin/env bash
# The core never touches widgets: no QtWidgets/QtGui include outside src/ui, and quillon-cli
# does not link the GUI libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/debug}"
status=0
hits=$(grep -rnE '#include *<(QtWidgets|QtGui)(/[^>]*)?>|#include *<Q(Widget|MainWindow|Dialog|MessageBox|Application|Gui[A-Za-z]*|Icon|Pixmap|Image|Font|Color|Painter)>' \
    src --include='*.h' --include='*.cpp' | grep -v '^src/ui/' || true)
if [ -n "$hits" ]; then
    echo "layer check: core files include GUI headers:"; echo "$hits"; status=1
fi
if ldd "$build/src/cli/quillon-cli" | grep -qE 'libQt6(Widgets|Gui)'; then
    echo "layer check: quillon-cli links Qt6::Widgets or Qt6::Gui"; status=1
fi
[ $status -eq 0 ] && echo "layer check: passed"
exit $status
