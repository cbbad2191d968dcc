#include "about_page.h"

#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/ini_document.h"
#include "app/language.h"
#include "app/settings_values.h"
#include "inventory/database_loader.h"
#include "platform/platform.h"
#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

QLabel* selectable(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setWordWrap(true);
    return label;
}

QString link(const QString& address) {
    return u"<a href=\"%1\">%1</a>"_s.arg(address.toHtmlEscaped());
}

} // namespace

AboutPage::AboutPage(const Language& language, const SettingValues& settings,
                     const DatabaseLoadResult& database, const IniDocument& settingsFile,
                     const platform::Platform& platform, QWidget* parent)
    : QWidget(parent), m_language(language), m_settings(settings), m_database(database),
      m_settingsFile(settingsFile), m_platform(platform) {
    setObjectName(u"TabAbout"_s);
    lbl_Title = new QLabel(this);
    QFont big = lbl_Title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lbl_Title->setFont(big);
    lbl_Description = selectable(this);
    lbl_Version = selectable(this);
    lbl_Database = selectable(this);
    lbl_Settings = selectable(this);
    lbl_Prefix = selectable(this);
    lbl_Translator = selectable(this);
    lbl_Sites = selectable(this);
    lbl_Sites->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl_Title);
    layout->addWidget(lbl_Description);
    layout->addSpacing(8);
    for (QLabel* label : {lbl_Version, lbl_Database, lbl_Settings, lbl_Prefix, lbl_Translator, lbl_Sites})
        layout->addWidget(label);
    layout->addStretch(1);
}

QString AboutPage::databaseStateLine(const Language& lng, const SettingValues& settings,
                                     const DatabaseLoadResult& database) {
    Placeholders count;
    count.s = QString::number(database.entryCount);
    const bool on = settings.databaseEnabled;
    return lng.format(u"CaptionsMainFrm"_s, u"NrOfPluginsInDB"_s, u"%s plugins in the database"_s, count) +
           u" ("_s + database.updateText + u", "_s +
           (on ? uiText(lng, "CaptionsMainFrm", "LblOn", "on")
               : uiText(lng, "CaptionsMainFrm", "LblOff", "off")) +
           u")"_s;
}

void AboutPage::retranslate() {
    const Language& lng = m_language;
    lbl_Title->setText(u"Quillon"_s);
    lbl_Description->setText(uiText(lng, "CaptionsMainFrm", "About_Description",
                                    "Keeps Total Commander and its plugins up to date."));
    lbl_Version->setText(uiText(lng, "CaptionsPluginDB", "LblVersion", "Version") + u" : "_s +
                         QStringLiteral(QUILLON_VERSION));
    lbl_Database->setText(databaseStateLine(m_language, m_settings, m_database));
    lbl_Settings->setText(uiText(lng, "CaptionsMainFrm", "About_SettingsFile", "Settings file:") + u' ' +
                          QDir::toNativeSeparators(m_settingsFile.filePath()));
    const QString prefix = QString::fromStdString(m_platform.winePrefix());
    lbl_Prefix->setText(uiText(lng, "CaptionsMainFrm", "About_WinePrefix", "Wine prefix:") + u' ' +
                        (prefix.isEmpty() ? u"-"_s : QDir::toNativeSeparators(prefix)));
    lbl_Translator->setText(uiText(lng, "CaptionsMainFrm", "About_Translator", "Translator:") + u' ' +
                            uiText(lng, "Language", "Author", "-"));
    lbl_Translator->setToolTip(uiText(lng, "Language", "Contact", "-"));
    const SettingValues& v = m_settings;
    QStringList sites;
    const struct {
        const char* key;
        const char* english;
        const QString& address;
    } links[] = {{"About_SiteCatalogue", "Plugin catalogue", v.siteCatalogue},
                 {"About_SiteCatalogueRu", "Its Russian mirror", v.siteCatalogueRu},
                 {"About_SiteTotalCommander", "Total Commander", v.siteTotalCommander},
                 {"About_SiteForum", "Forum", v.siteForum}};
    for (const auto& site : links) {
        if (!site.address.isEmpty())
            sites.append(uiText(lng, "CaptionsMainFrm", site.key, site.english).toHtmlEscaped() + u": "_s +
                         link(site.address));
    }
    lbl_Sites->setText(uiText(lng, "CaptionsMainFrm", "About_Homepage", "Homepage:") + u"<br>"_s +
                       sites.join(u"<br>"_s));
}

} // namespace quillon::ui
