#pragma once
// Every text of the windows comes from the language store, with its English default here.
#include <QString>

class QWidget;

#include "app/language.h"

namespace quillon::ui {

inline QString uiText(const Language& language, const char* section, const char* key,
                      const char* englishDefault) {
    return language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                         QString::fromUtf8(englishDefault));
}

// Buttons that show a symbol (an arrow, a cross) are named for screen readers by what their
// tooltip says; call after the tooltips are set.
void nameSymbolButtons(QWidget& window);

} // namespace quillon::ui
