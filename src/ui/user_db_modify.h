#pragma once
// The user database entry editor: adds an entry or changes one, and writes userdb.ini at once.
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quillon {
class Language;
class Prompter;
struct SettingValues;
struct Stores;
} // namespace quillon

namespace quillon::ui {

// What the user database's list and editor read and change.
struct UserDbParts {
    const Language& language;
    const SettingValues& settings; // the sites a WebsiteID opens on
    Stores& stores;                // the user database; the editor's window size
    Prompter& prompter;
};

class TUserDBModify : public QDialog {
    Q_OBJECT
public:
    // id: the entry to edit, or an identifier (a file path too) to propose for a new entry;
    // proposedWebsiteId: the web identifier to put in.
    TUserDBModify(const UserDbParts& parts, const QString& id, const QString& proposedWebsiteId,
                  QWidget* parent = nullptr);

    bool isEditing() const { return !m_originalId.isEmpty(); }
    // Saves when the entry may be saved; false when it may not, or the file could not be written
    // (which was reported; the entry stays in memory and is written at exit).
    bool save();
    void retranslate();

signals:
    void saved(const QString& id);

protected:
    void done(int result) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build();
    void fillFromFile(const QString& path, bool setId);
    void updateButtons();
    QString text(const char* section, const char* key, const char* english) const;

    UserDbParts m_parts;
    QString m_originalId; // the entry's identifier when the editor opened; empty when adding

    QGroupBox* m_infoGroup = nullptr;
    QGroupBox* m_optionalGroup = nullptr;
    QLabel* m_idLabel = nullptr;
    QLabel* m_productLabel = nullptr;
    QLabel* m_originalLabel = nullptr;
    QLabel* m_internalLabel = nullptr;
    QLabel* m_webLabel = nullptr;
    QLabel* m_descriptionLabel = nullptr;
    QLabel* m_directLabel = nullptr;
    QLabel* m_authorLabel = nullptr;
    QLabel* m_note = nullptr;
    QLineEdit* m_id = nullptr;
    QLineEdit* m_productName = nullptr;
    QLineEdit* m_originalFn = nullptr;
    QLineEdit* m_internalName = nullptr;
    QLineEdit* m_webId = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_directLink = nullptr;
    QLineEdit* m_authorUrl = nullptr;
    QToolButton* m_visitSite = nullptr;
    QToolButton* m_visitAuthor = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_close = nullptr;
};

// The message that userdb.ini could not be written (its entries stay in memory).
void reportUserDbNotSaved(const Language& language, Prompter& prompter);

} // namespace quillon::ui
