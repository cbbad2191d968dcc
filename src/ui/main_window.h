#pragma once
// The main window. For now a frame around the core: it takes its size from the settings and
// hands its geometry back when it closes, when the core writes everything.
#include <QMainWindow>

namespace quillon {
class AppCore;
}

namespace quillon::ui {

class Ttc_Updater : public QMainWindow {
    Q_OBJECT
public:
    explicit Ttc_Updater(AppCore& core, QWidget* parent = nullptr);

    // A second start asked for this window.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppCore& m_core;
    bool m_shutDownDone = false;
};

} // namespace quillon::ui
