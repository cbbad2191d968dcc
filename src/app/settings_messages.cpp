#include "app/settings_messages.h"

using namespace Qt::StringLiterals;

namespace quillon {

MessageText SaveFailureMessage(const TextLookup& texts, const QString& applicationTitle,
                               const QString& fileName) {
    const QString section = u"ErrorMessages"_s;
    MessageText message;
    message.caption =
        texts(section, u"CannotSaveConf_Caption"_s, u"Error: Configuration cannot be saved"_s).trimmed();
    QString line1 =
        texts(section, u"CannotSaveConf_L1"_s, u"Unfortunately %s cannot save the current configuration."_s);
    QString line2 = texts(section, u"CannotSaveConf_L2"_s,
                          u"Reason: %s is not writable (read-only / insufficient rights)."_s)
                        .trimmed();
    line1.replace(u"%s"_s, applicationTitle, Qt::CaseInsensitive);
    line2.replace(u"%s"_s, fileName, Qt::CaseInsensitive);
    message.text = line1 + "\r\n"_L1 + line2;
    return message;
}

} // namespace quillon
