#pragma once
// The plugin database browser: every entry of the database, a search over their names, the
// database switched on or off, and corrections of an entry saved into the user database.
#include <QDialog>

#include "app/ini_document.h"

class QLabel;
class QLineEdit;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSortFilterProxyModel;
class QTableView;
class QToolButton;

namespace quillon {
class Language;
class Prompter;
struct SettingValues;
struct Stores;
struct UpdateCheckState;
} // namespace quillon

namespace quillon::ui {

class PluginDbModel;

// What the browser reads and changes.
struct PluginDbBrowserParts {
    const Language& language;
    SettingValues& settings;            // the database switch
    Stores& stores;                     // corrections into the user database; the window's size
    const UpdateCheckState& checkState; // the online database's release date
    Prompter& prompter;                 // a user database that cannot be written
    QString settingsDir;                // where an external database.dat is looked for
};

class TPluginDB : public QDialog {
    Q_OBJECT
public:
    // selectedFilePath: the update-list row whose entry is selected first (may be empty).
    TPluginDB(const PluginDbBrowserParts& parts, const QString& selectedFilePath, QWidget* parent = nullptr);

    // The entries whose names contain text (letter case ignored); one left is selected and shown.
    void search(const QString& text);
    void selectEntry(const QString& name);
    QString currentName() const { return m_current; }
    int visibleEntries() const;
    // Saves the fields that differ from the database into the user entry of the same name.
    bool saveInUserDb();
    void retranslate();

signals:
    void databaseSwitched(bool enabled);
    void userDbChanged();
    // "Download the latest version": the download window fetches the database.
    void downloadLatestRequested();

protected:
    void done(int result) override;

private:
    void build();
    void loadDatabase();
    void showEntry(const QString& name);
    void switchDatabase(bool enabled);
    void paintState();
    void updateButtons();
    QString text(const char* section, const char* key, const char* english) const;

    PluginDbBrowserParts m_parts;
    IniDocument m_database{QStringLiteral("tcPluginMem.ini"), IniDocument::Encoding::Latin1};
    QString m_current;

    PluginDbModel* m_model = nullptr;
    QSortFilterProxyModel* m_filter = nullptr;
    QGroupBox* m_listGroup = nullptr;
    QTableView* m_list = nullptr;
    QLineEdit* m_search = nullptr;
    QGroupBox* m_infoGroup = nullptr;
    QGroupBox* m_optionalGroup = nullptr;
    QGroupBox* m_localGroup = nullptr;
    QGroupBox* m_onlineGroup = nullptr;
    QGroupBox* m_stateGroup = nullptr;
    QLineEdit* m_id = nullptr;
    QList<std::pair<QString, QLineEdit*>> m_fields; // key -> edit, in the browser's order
    QLabel* m_totalEntries = nullptr;
    QLabel* m_currentVersion = nullptr;
    QLabel* m_localEntriesCaption = nullptr;
    QLabel* m_localVersionCaption = nullptr;
    QLabel* m_onlineEntries = nullptr;
    QLabel* m_onlineVersion = nullptr;
    QLabel* m_onlineEntriesCaption = nullptr;
    QLabel* m_onlineVersionCaption = nullptr;
    QRadioButton* m_on = nullptr;
    QRadioButton* m_off = nullptr;
    QPushButton* m_updateToLatest = nullptr;
    QPushButton* m_saveUserDb = nullptr;
    QPushButton* m_ok = nullptr;
    QToolButton* m_visitSite = nullptr;
    QToolButton* m_visitAuthor = nullptr;
};

} // namespace quillon::ui
