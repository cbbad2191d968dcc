#pragma once
// Every text of the windows comes from the language store, with its English default here.
#include <QString>

#include "app/language.h"

namespace quillon::ui {

inline QString uiText(const Language& language, const char* section, const char* key,
                      const char* englishDefault) {
    return language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                         QString::fromUtf8(englishDefault));
}

} // namespace quillon::ui
