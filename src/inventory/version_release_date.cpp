#include "inventory/version_release_date.h"

namespace quillon {

QDate LocalToday() {
    thread_local QDate today;
    thread_local qint64 readAt = 0;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (!today.isValid() || now < readAt || now - readAt >= 60) {
        today = QDate::currentDate();
        readAt = now;
    }
    return today;
}

bool IsPlausibleReleaseDate(const QDateTime& moment, const QDate& today) {
    // Time stamps before this day come from zeroed or garbled headers, not from real releases.
    static const QDate earliest(1999, 6, 17);
    if (!moment.isValid())
        return false;
    const QDate day = moment.date();
    return day > earliest && day <= today;
}

} // namespace quillon
