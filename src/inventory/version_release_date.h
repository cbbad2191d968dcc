#pragma once
// Whether a link time stamp can be a real release date of a plugin.
#include <QDate>
#include <QDateTime>

namespace quillon {

// True when the date part lies after 17 June 1999 and not after today (compared by day).
// today defaults to the local clock; tests pass it in.
bool IsPlausibleReleaseDate(const QDateTime& moment, const QDate& today = QDate::currentDate());

} // namespace quillon
