#pragma once
// Total Commander's description for the information window, one text per interface language.
#include <QString>

namespace quillon {

inline constexpr auto kTcDescriptionDir = ":/tc_descriptions";

// The description "TC_LNG_<lcid>.txt" from dir, trimmed; the English one (1033) when the
// language has none or its text is not valid UTF-8; empty when English is missing too.
QString TotalCommanderDescription(quint32 lcid, const QString& dir = QString::fromLatin1(kTcDescriptionDir));

} // namespace quillon
