#include "app/settings_messages.h"

using namespace Qt::StringLiterals;

namespace quillon {

MessageText SaveFailureMessage(const TextLookup& texts, const QString& applicationTitle,
                               const QString& fileName, const QString& reason) {
    const QString section = u"ErrorMessages"_s;
    MessageText message;
    message.caption =
        texts(section, u"CannotSaveConf_Caption"_s, u"Error: Configuration cannot be saved"_s).trimmed();
    QString line1 =
        texts(section, u"CannotSaveConf_L1"_s, u"Unfortunately %s cannot save the current configuration."_s);
    // Guessing "read-only" for a full disk sends the user looking in the wrong place: with the
    // writer's reason at hand, that is what the user reads.
    QString line2 = reason.isEmpty()
                        ? texts(section, u"CannotSaveConf_L2"_s,
                                u"Reason: %s is not writable (read-only / insufficient rights)."_s)
                        : texts(section, u"CannotSaveConf_L3"_s, u"Reason: %s could not be written."_s);
    line2 = line2.trimmed();
    line1.replace(u"%s"_s, applicationTitle, Qt::CaseInsensitive);
    line2.replace(u"%s"_s, fileName, Qt::CaseInsensitive);
    if (!reason.isEmpty())
        line2 += "\r\n"_L1 + reason;
    message.text = line1 + "\r\n"_L1 + line2;
    return message;
}

} // namespace quillon
