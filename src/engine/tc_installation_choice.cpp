#include "engine/tc_installation_choice.h"

#include <QFileInfo>

#include "app/ini_document.h"
#include "platform/platform.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// Not a key of the settings table: only the Linux programs read it, and Windows has one world.
const QString kSection = u"WinePrefixes"_s;
const QString kChosenKey = u"Chosen"_s;

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

TcInstallationChoice ChooseTcInstallation(const platform::Platform& platform, const IniDocument& settings,
                                          const QString& tcDir, const QString& prefixOption,
                                          bool startedByTc) {
    TcInstallationChoice choice;
    if (!prefixOption.isEmpty() || startedByTc)
        return choice;
    const QString inUse = QString::fromStdString(platform.winePrefix());
    const QString remembered = settings.value(kSection, kChosenKey).trimmed();
    const bool rememberedInUse = !remembered.isEmpty() && canonical(remembered) == canonical(inUse);
    if (!tcDir.isEmpty() && (remembered.isEmpty() || rememberedInUse))
        return choice;

    QList<TcInstallation> others;
    for (const TcInstallation& found : FindTcInstallations().installations) {
        if (found.manager == platform::PrefixManager::Native || canonical(found.prefix) == canonical(inUse))
            continue;
        // The remembered one is taken again without asking, before whatever holds the default.
        if (!remembered.isEmpty() && canonical(found.prefix) == canonical(remembered)) {
            choice.taken = found;
            return choice;
        }
        others.append(found);
    }
    // One chosen by its path on the Configuration page, which no prefix manager lists: taken as
    // a plain Wine prefix while it is one.
    if (!remembered.isEmpty() && !rememberedInUse && platform::isWinePrefixFolder(remembered.toStdString())) {
        choice.taken = TcInstallation{};
        choice.taken->prefix = remembered;
        return choice;
    }
    // The prefix in use holds Total Commander: the remembered one is gone, so this one stays.
    if (!tcDir.isEmpty() || others.isEmpty())
        return choice;
    if (others.size() == 1)
        choice.taken = others.front();
    else
        choice.candidates = others;
    return choice;
}

void RememberTcInstallation(IniDocument& settings, const TcInstallation& chosen) {
    settings.setValue(kSection, kChosenKey, chosen.prefix);
}

} // namespace quillon
