#pragma once
// The information box: a small window beside the main window that shows what is known locally
// about the selected item (version information, user and plugin database), where its database
// entry lives, and links to its pages.
#include <QHash>
#include <QPointer>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace quillon {
class Language;
class System;
struct SettingValues;
struct Stores;
struct UpdateCheckState;
} // namespace quillon

namespace quillon::ui {

class ClickableLabel;

class TInfobox : public QWidget {
    Q_OBJECT
public:
    enum class DbEntry { UserDatabase, PluginDatabaseOnly, NotFound };

    // settings: GUI/ShowInfoBox is written there; checkState: the last check's online records.
    TInfobox(const Language& language, SettingValues& settings, const Stores& stores,
             const UpdateCheckState& checkState, System& system, QWidget* parent = nullptr);

    // Stays beside this window (to its right, centred on its height) while it moves.
    void follow(QWidget* mainWindow);
    // Ctrl+Q: switches the box on or off and remembers it (GUI/ShowInfoBox). Add it to the main
    // window so the shortcut works there.
    QAction* toggleAction() const { return m_toggle; }
    // Shows or hides the box and remembers the choice.
    void setActive(bool active);

    // An update-list row: its file (or a database row's key word) and the name to title it with.
    void showItem(const QString& filePath, const QString& title);
    // A user database entry.
    void showUserEntry(const QString& id);
    // The last plugin load check of a file, shown while that file is.
    void setLoadCheckResult(const QString& filePath, const QString& text);
    // The shown item again (after a database change or a switch).
    void refresh();
    void retranslate();

    DbEntry dbEntry() const { return m_dbEntry; }

    // The box's links, as its buttons and the lists' keys start them (Ctrl+D, Ctrl+Shift+W,
    // Ctrl+Shift+A).
    void openDirectDownload() { onDirectDownloadClicked(); }
    void openOnlineSite() { onOnlineSiteClicked(); }
    void openAuthorSite() { onAuthorClicked(); }

signals:
    // Switched on: the owner shows its current selection in it.
    void activated();
    void editUserEntryRequested(const QString& id);
    void browseDatabaseRequested(const QString& filePath);
    void addUserEntryRequested(const QString& filePath);
    // A direct link of the mirror service ("$" and a number) needs the download window.
    void directDownloadRequested(const QString& filePath);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The item file's icon (GUI/ShowPlugIcons); hidden when it has none.
    void showIcon();
    void build();
    // The width the captions and the fields need in the current language.
    void fitWidth();
    void place();
    void fill();
    void fillDbEntry();
    void onDbEntryClicked();
    void onAuthorClicked();
    void onOnlineSiteClicked();
    void onDirectDownloadClicked();
    void onFileNameClicked();
    QString text(const char* section, const char* key, const char* english) const;

    const Language& m_language;
    SettingValues& m_settings;
    const Stores& m_stores;
    const UpdateCheckState& m_checkState;
    System& m_system;
    QPointer<QWidget> m_mainWindow;
    QAction* m_toggle = nullptr;

    QString m_filePath; // update-list row; empty for a user entry
    QString m_userId;   // user entry; empty for an update-list row
    QString m_title;
    QString m_authorUrl;
    QString m_websiteId;
    QString m_directLink;
    DbEntry m_dbEntry = DbEntry::NotFound;

    QLabel* m_titleLabel = nullptr;
    QLabel* m_icon = nullptr;
    QToolButton* m_close = nullptr;
    QLabel* m_nameCaption = nullptr;
    QLabel* m_internalCaption = nullptr;
    QLabel* m_originalCaption = nullptr;
    QLabel* m_authorCaption = nullptr;
    QLabel* m_descriptionCaption = nullptr;
    QLabel* m_typeCaption = nullptr;
    QLabel* m_dbCaption = nullptr;
    QLabel* m_fileCaption = nullptr;
    QLabel* m_linksCaption = nullptr;
    QLabel* m_loadCheckCaption = nullptr;
    QLineEdit* m_loadCheck = nullptr;
    QHash<QString, QString> m_loadChecks; // file path -> its last result
    QLineEdit* m_name = nullptr;
    QLineEdit* m_internalName = nullptr;
    QLineEdit* m_originalFn = nullptr;
    QLineEdit* m_author = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_type = nullptr;
    ClickableLabel* m_dbLabel = nullptr;
    ClickableLabel* m_fileName = nullptr;
    QToolButton* m_visitAuthor = nullptr;
    QToolButton* m_visitOnline = nullptr;
    QToolButton* m_directDownload = nullptr;
};

} // namespace quillon::ui
