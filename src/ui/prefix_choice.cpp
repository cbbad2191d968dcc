#include "prefix_choice.h"

#include <QFileInfo>
#include <QInputDialog>

#include "app/language.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

// Not a key of the settings table: only the Linux program reads it, and Windows has one world.
const QString kSection = u"WinePrefixes"_s;
const QString kChosenKey = u"Chosen"_s;

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

QString managerName(platform::PrefixManager manager) {
    return QString::fromLatin1(platform::prefixManagerName(manager));
}

} // namespace

std::optional<TcInstallation> chooseTcInstallation(AppCore& core, const QString& prefixOption) {
    if (!prefixOption.isEmpty())
        return std::nullopt;
    const QString inUse = QString::fromStdString(core.system().platform().winePrefix());
    const QString remembered = core.settingsStore().value(kSection, kChosenKey).trimmed();
    const bool rememberedInUse = !remembered.isEmpty() && canonical(remembered) == canonical(inUse);
    if (!core.TCDir().isEmpty() && (remembered.isEmpty() || rememberedInUse))
        return std::nullopt;

    QList<TcInstallation> others;
    for (const TcInstallation& found : FindTcInstallations().installations) {
        if (found.manager == platform::PrefixManager::Native || canonical(found.prefix) == canonical(inUse))
            continue;
        // The remembered one is taken again without asking, before whatever holds the default.
        if (!remembered.isEmpty() && canonical(found.prefix) == canonical(remembered))
            return found;
        others.append(found);
    }
    // The prefix in use holds Total Commander: the remembered one is gone, so this one stays.
    if (!core.TCDir().isEmpty() || others.isEmpty())
        return std::nullopt;
    if (others.size() == 1)
        return others.front();

    const Language& lng = core.language();
    QStringList items;
    for (const TcInstallation& found : others)
        items.append(managerName(found.manager) + u": "_s + found.prefix + u" ("_s + found.tcDir + u')');
    bool ok = false;
    const QString picked = QInputDialog::getItem(
        nullptr,
        uiText(lng, "CaptionsMainFrm", "WinePrefixChoice_Caption", "Total Commander in other Wine prefixes"),
        uiText(lng, "CaptionsMainFrm", "WinePrefixChoice_Text",
               "The Wine prefix in use holds no Total Commander. Which one should Quillon look after?"),
        items, 0, false, &ok);
    const qsizetype index = items.indexOf(picked);
    if (!ok || index < 0)
        return std::nullopt;
    return others.at(index);
}

void rememberTcInstallation(AppCore& core, const TcInstallation& chosen) {
    core.settingsStore().setValue(kSection, kChosenKey, chosen.prefix);
}

QString tcInstallationTakenText(AppCore& core, const TcInstallation& chosen) {
    return core.language().format(u"CaptionsMainFrm"_s, u"WinePrefixTaken"_s,
                                  u"Total Commander found in the %s1 prefix %s2"_s,
                                  Placeholders{{}, managerName(chosen.manager), chosen.prefix});
}

} // namespace quillon::ui
