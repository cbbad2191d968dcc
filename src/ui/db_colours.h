#pragma once
// The colours that tell whether a database is in use, shared by the windows that show it.
#include <QColor>

namespace quillon::ui {

inline const QColor kOnColour{29, 161, 29};
inline const QColor kOnHoverColour{15, 113, 15};
inline const QColor kOffColour{249, 143, 28};
inline const QColor kOffHoverColour{226, 121, 5};
inline const QColor kMissingColour{249, 44, 28};
inline const QColor kMissingHoverColour{215, 18, 3};

} // namespace quillon::ui
