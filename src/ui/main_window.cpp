#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>

#include "app/app_core.h"
#include "app/settings.h"

namespace quillon::ui {

Ttc_Updater::Ttc_Updater(AppCore& core, QWidget* parent) : QMainWindow(parent), m_core(core) {
    setObjectName(QStringLiteral("Ttc_Updater"));
    setWindowTitle(m_core.windowCaption());
    setMinimumSize(491, 559);
    const SettingValues& values = m_core.settings().values;
    resize(values.mainFormW, values.mainFormH);
    if (!values.allowResize)
        setFixedSize(values.mainFormW, values.mainFormH);
}

void Ttc_Updater::bringToFront() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void Ttc_Updater::closeEvent(QCloseEvent* event) {
    if (!m_shutDownDone) {
        m_shutDownDone = true;
        SettingValues& values = m_core.settings().values;
        values.mainFormW = width();
        values.mainFormH = height();
        values.mainFormL = x();
        values.mainFormT = y();
        const bool ctrlHeld = QApplication::queryKeyboardModifiers() == Qt::ControlModifier;
        m_core.shutDown(ctrlHeld);
    }
    event->accept();
}

} // namespace quillon::ui
