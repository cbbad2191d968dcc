#pragma once
// The About page: the version, the databases' state, the settings file and the Wine prefix in
// use, the translator, and links to the configured sites.
#include <QWidget>

class QLabel;

namespace quillon {
class IniDocument;
class Language;
struct DatabaseLoadResult;
struct SettingValues;
namespace platform {
class Platform;
}
} // namespace quillon

namespace quillon::ui {

class AboutPage : public QWidget {
    Q_OBJECT
public:
    // settingsFile: the store whose file the page names; platform: for the Wine prefix.
    AboutPage(const Language& language, const SettingValues& settings, const DatabaseLoadResult& database,
              const IniDocument& settingsFile, const platform::Platform& platform, QWidget* parent = nullptr);
    void retranslate();
    // The plugin database's state line: entries, date, on or off.
    static QString databaseStateLine(const Language& language, const SettingValues& settings,
                                     const DatabaseLoadResult& database);

private:
    const Language& m_language;
    const SettingValues& m_settings;
    const DatabaseLoadResult& m_database;
    const IniDocument& m_settingsFile;
    const platform::Platform& m_platform;
    QLabel* lbl_Title;
    QLabel* lbl_Description;
    QLabel* lbl_Version;
    QLabel* lbl_Database;
    QLabel* lbl_Settings;
    QLabel* lbl_Prefix;
    QLabel* lbl_Translator;
    QLabel* lbl_Sites;
};

} // namespace quillon::ui
