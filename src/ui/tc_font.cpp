#include "tc_font.h"

#include <QApplication>

#include <algorithm>

#include <QFont>
#include <QFontDatabase>

#include "app/settings.h"
#include "engine/app_core.h"
#include "tcdetect/tc_locator.h"

namespace quillon::ui {

namespace {

QString tcFontFamily(AppCore& core) {
    if (core.settings().values.forceOriginalFont || core.tc().iniFile.isEmpty())
        return {};
    const QString family = core.tcLocator().GetTCFont(core.tc().iniFile).trimmed();
    if (family.compare(QStringLiteral("Segoe UI Semibold"), Qt::CaseInsensitive) != 0)
        return {};
    const QStringList installed = QFontDatabase::families();
    const auto found = std::find_if(installed.cbegin(), installed.cend(), [&family](const QString& name) {
        return name.compare(family, Qt::CaseInsensitive) == 0;
    });
    return found == installed.cend() ? QString() : *found;
}

} // namespace

bool adoptTotalCommanderFont(AppCore& core) {
    // The desktop's font as it was first met: another installation may not use Total Commander's.
    static const QFont own = QApplication::font();
    const QString family = tcFontFamily(core);
    QApplication::setFont(family.isEmpty() ? own : QFont(family, 8));
    return !family.isEmpty();
}

} // namespace quillon::ui
