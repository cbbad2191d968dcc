#pragma once
// The About page: the version, the databases' state, the settings file and the Wine prefix in
// use, the translator, and links to the configured sites.
#include <QWidget>

class QLabel;

namespace quillon {
class AppCore;
}

namespace quillon::ui {

class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(AppCore& core, QWidget* parent = nullptr);
    void retranslate();
    // The plugin database's state line: entries, date, on or off.
    static QString databaseStateLine(const AppCore& core);

private:
    AppCore& m_core;
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
