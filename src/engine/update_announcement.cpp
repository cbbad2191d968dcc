#include "engine/update_announcement.h"

#include <algorithm>

#include "app/ini_document.h"
#include "app/language.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// Read by the Linux command line only; the settings table does not know it.
const QString kSection = u"Notifications"_s;
const QString kAnnouncedKey = u"Announced"_s;
// The texts' section of the language files.
const QString kTexts = u"Notifications"_s;
// Names are free text; this separator does not occur in a plugin's name or version.
constexpr QChar kSeparator = u'|';
// A notification is a glance: the first few names, then the count says the rest.
constexpr int kNamesShown = 3;

} // namespace

QStringList UpdatableEntries(const UpdateList& list) {
    QStringList entries;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.state(row) != ItemState::Update)
            continue;
        const UpdateItem& item = list.row(row);
        QString entry = QString(item.Name.trimmed() + u' ' + item.LatestVersion.trimmed()).trimmed();
        entry.replace(kSeparator, u' ');
        entries.append(entry);
    }
    return entries;
}

std::optional<UpdateAnnouncement> UpdatesToAnnounce(const UpdateList& list, const Language& language,
                                                    const IniDocument& settings) {
    const QStringList entries = UpdatableEntries(list);
    const QStringList announced =
        settings.value(kSection, kAnnouncedKey).split(kSeparator, Qt::SkipEmptyParts);
    const bool anyNew = std::any_of(entries.cbegin(), entries.cend(),
                                    [&](const QString& e) { return !announced.contains(e); });
    if (!anyNew)
        return std::nullopt;
    QStringList names = entries.mid(0, kNamesShown);
    if (entries.size() > kNamesShown)
        names.append(u"…"_s);
    UpdateAnnouncement announcement;
    announcement.entries = entries;
    announcement.summary =
        entries.size() == 1
            ? language.format(kTexts, u"OneUpdateAvailable"_s, u"1 update available: %s"_s,
                              {names.join(u", "_s), std::nullopt, std::nullopt})
            : language.format(kTexts, u"UpdatesAvailable"_s, u"%s1 updates available: %s2"_s,
                              {std::nullopt, QString::number(entries.size()), names.join(u", "_s)});
    return announcement;
}

void RememberAnnouncedUpdates(IniDocument& settings, const QStringList& entries) {
    if (entries.isEmpty())
        settings.removeKey(kSection, kAnnouncedKey);
    else
        settings.setValue(kSection, kAnnouncedKey, entries.join(kSeparator));
}

} // namespace quillon
