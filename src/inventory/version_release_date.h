#pragma once
// Whether a link time stamp can be a real release date of a plugin.
#include <QDate>
#include <QDateTime>

namespace quillon {

// The local clock's day, read again at most once a minute: asking the time zone costs more than
// the rest of a file's identification, and an inventory asks once per file.
QDate LocalToday();

// True when the date part lies after 17 June 1999 and not after today (compared by day).
// today defaults to the local clock; tests pass it in.
bool IsPlausibleReleaseDate(const QDateTime& moment, const QDate& today = LocalToday());

} // namespace quillon
