#pragma once
// The exception list on the user database page: its lines and removing the selected ones. The
// switch that makes the inventory pass ignore the list is on the Configuration page. Changes count
// from the next pass.
#include <QWidget>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace quillon {
class Language;
class Settings;
} // namespace quillon

namespace quillon::ui {

class ExclusionListWidget : public QWidget {
    Q_OBJECT
public:
    ExclusionListWidget(const Language& language, Settings& settings, QWidget* parent = nullptr);

    // The lines again from the settings (after an exclusion made elsewhere).
    void reload();
    void removeSelected();
    void retranslate();

signals:
    void changed();

private:
    const Language& m_language;
    Settings& m_settings;
    QGroupBox* m_group = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_remove = nullptr;
};

} // namespace quillon::ui
