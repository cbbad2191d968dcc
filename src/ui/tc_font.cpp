#include "tc_font.h"

#include <QApplication>

#include <algorithm>

#include <QFont>
#include <QFontDatabase>

#include "tcdetect/tc_locator.h"

namespace quillon::ui {

namespace {

QString tcFontFamily(bool forceOriginalFont, const QString& tcIniFile, const TcLocator& locator) {
    if (forceOriginalFont || tcIniFile.isEmpty())
        return {};
    const QString family = locator.GetTCFont(tcIniFile).trimmed();
    if (family.compare(QStringLiteral("Segoe UI Semibold"), Qt::CaseInsensitive) != 0)
        return {};
    const QStringList installed = QFontDatabase::families();
    const auto found = std::find_if(installed.cbegin(), installed.cend(), [&family](const QString& name) {
        return name.compare(family, Qt::CaseInsensitive) == 0;
    });
    return found == installed.cend() ? QString() : *found;
}

} // namespace

bool adoptTotalCommanderFont(bool forceOriginalFont, const QString& tcIniFile, const TcLocator& locator) {
    // The desktop's font as it was first met: another installation may not use Total Commander's.
    static const QFont own = QApplication::font();
    const QString family = tcFontFamily(forceOriginalFont, tcIniFile, locator);
    QApplication::setFont(family.isEmpty() ? own : QFont(family, 8));
    return !family.isEmpty();
}

} // namespace quillon::ui
