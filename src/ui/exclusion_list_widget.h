#pragma once
// The exception list on the user database page: its lines and removing the selected ones. The
// switch that makes the inventory pass ignore the list is on the Configuration page. Changes count
// from the next pass.
#include <QWidget>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace quillon {
class AppCore;
}

namespace quillon::ui {

class ExclusionListWidget : public QWidget {
    Q_OBJECT
public:
    explicit ExclusionListWidget(AppCore& core, QWidget* parent = nullptr);

    // The lines again from the settings (after an exclusion made elsewhere).
    void reload();
    void removeSelected();
    void retranslate();

signals:
    void changed();

private:
    AppCore& m_core;
    QGroupBox* m_group = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_remove = nullptr;
};

} // namespace quillon::ui
