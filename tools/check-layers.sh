#!/usr/bin/env bash
# The core never touches widgets: no QtWidgets/QtGui include outside src/ui, and quillon-cli
# does not link the GUI libraries. Each core layer includes only its own folder and the layers
# below it: platform < app < tcdetect < inventory < updatecheck < install < engine < cli, ui.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/debug}"
status=0
hits=$(grep -rnE '#include *<(QtWidgets|QtGui)(/[^>]*)?>|#include *<Q(Widget|MainWindow|Dialog|MessageBox|Application|Gui[A-Za-z]*|Icon|Pixmap|Image|Font|Color|Painter)>' \
    src --include='*.h' --include='*.cpp' | grep -v '^src/ui/' || true)
if [ -n "$hits" ]; then
    echo "layer check: core files include GUI headers:"; echo "$hits"; status=1
fi
layers=(platform app tcdetect inventory updatecheck install engine)
upward=""
for ((i = 0; i < ${#layers[@]}; i++)); do
    above=("${layers[@]:i+1}" cli ui)
    pattern="#include \"($(IFS='|'; echo "${above[*]}"))/"
    found=$(grep -rnE "$pattern" "src/${layers[i]}" --include='*.h' --include='*.cpp' || true)
    [ -n "$found" ] && upward+="$found"$'\n'
done
if [ -n "$upward" ]; then
    echo "layer check: includes run up the layers:"; printf '%s' "$upward"; status=1
fi
if ldd "$build/src/cli/quillon-cli" | grep -qE 'libQt6(Widgets|Gui)'; then
    echo "layer check: quillon-cli links Qt6::Widgets or Qt6::Gui"; status=1
fi
[ $status -eq 0 ] && echo "layer check: passed"
exit $status
