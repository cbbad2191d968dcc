#pragma once
// The user database entries (LV_UserDB) with adding, editing and deleting them, for the user
// database page.
#include <QWidget>

#include "ui/user_db_modify.h"

class QPushButton;
class QTableView;

namespace quillon::ui {

class UserDbModel;

class UserDbList : public QWidget {
    Q_OBJECT
public:
    explicit UserDbList(const UserDbParts& parts, QWidget* parent = nullptr);

    UserDbModel& model() { return *m_model; }
    QTableView& list() { return *m_list; }
    // The rows again from the user database (after a change made elsewhere).
    void reload();
    void selectEntry(const QString& id);
    QString currentId() const;

    // The editor, modal over the page: adding (id empty, or a proposed identifier) or editing.
    void openEditor(const QString& id, const QString& proposedWebsiteId);
    void addEntry() { openEditor({}, {}); }
    void editSelected();
    // Asks, then deletes the selected entries and writes the file.
    void deleteSelected();
    void retranslate();

signals:
    void currentEntryChanged(const QString& id);
    // The user database was changed and written.
    void userDbChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateButtons();
    QStringList selectedIds() const;
    void writeFile();

    UserDbParts m_parts;
    UserDbModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace quillon::ui
