#include "prefix_choice.h"

#include <QInputDialog>

#include "app/language.h"
#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

QString managerName(platform::PrefixManager manager) {
    return QString::fromLatin1(platform::prefixManagerName(manager));
}

} // namespace

std::optional<TcInstallation> chooseTcInstallation(const PrefixChoiceParts& parts,
                                                   const QString& prefixOption, bool startedByTc) {
    const TcInstallationChoice choice =
        ChooseTcInstallation(parts.platform, parts.settings, parts.tcDir, prefixOption, startedByTc);
    if (choice.taken || choice.candidates.isEmpty())
        return choice.taken;
    const QList<TcInstallation>& others = choice.candidates;
    const Language& lng = parts.language;
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

QString tcInstallationTakenText(const Language& language, const TcInstallation& chosen) {
    return language.format(u"CaptionsMainFrm"_s, u"WinePrefixTaken"_s,
                           u"Total Commander found in the %s1 prefix %s2"_s,
                           Placeholders{{}, managerName(chosen.manager), chosen.prefix});
}

} // namespace quillon::ui
