#pragma once
// What a background check tells the desktop about: the rows with an update, said once. The
// updates already announced are remembered in Quillon's settings, so a daily check that finds
// the same updates again stays quiet, and a new one (or a newer version) is announced anew.
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

class IniDocument;
class Language;
class UpdateList;

struct UpdateAnnouncement {
    QString summary;     // "3 updates available: Sample Packer 2.2, ..."
    QStringList entries; // "Name Version" of every updatable row, in list order
};

// The announcement for the list's updatable rows, or none when there are none or every one of
// them was announced before.
std::optional<UpdateAnnouncement> UpdatesToAnnounce(const UpdateList& list, const Language& language,
                                                    const IniDocument& settings);
// Remembers what the desktop was told. With no update left the memory is cleared, so an update
// that comes back later is announced again.
void RememberAnnouncedUpdates(IniDocument& settings, const QStringList& entries);
// The entries of the list's updatable rows, for RememberAnnouncedUpdates when nothing is new.
QStringList UpdatableEntries(const UpdateList& list);

} // namespace quillon
