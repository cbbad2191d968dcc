#include "taskbar_progress.h"

#include <QWidget>

#include <algorithm>

#include <shobjidl.h>
#include <windows.h>

namespace quillon::ui {
namespace {

// The taskbar shows one button per owner chain: a dialog's progress belongs on its owner's.
HWND buttonWindow(QWidget* window) {
    if (!window)
        return nullptr;
    QWidget* top = window->window();
    while (top->parentWidget())
        top = top->parentWidget()->window();
    // No window handle is made for the sake of a progress bar (nor while a window is destroyed).
    return reinterpret_cast<HWND>(top->internalWinId());
}

// Made for each change: the changes come at most a hundred times a pass, and a taskbar that was
// restarted in between (Explorer crashed) is met afresh.
class TaskbarList {
public:
    TaskbarList() {
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                    reinterpret_cast<void**>(&m_list))))
            m_list = nullptr;
        else if (FAILED(m_list->HrInit()))
            release();
    }
    ~TaskbarList() { release(); }
    TaskbarList(const TaskbarList&) = delete;
    TaskbarList& operator=(const TaskbarList&) = delete;
    ITaskbarList3* operator->() const { return m_list; }
    explicit operator bool() const { return m_list != nullptr; }

private:
    void release() {
        if (m_list)
            m_list->Release();
        m_list = nullptr;
    }
    ITaskbarList3* m_list = nullptr;
};

} // namespace

TaskbarProgress::TaskbarProgress(QWidget* window) : m_window(window) {}

TaskbarProgress::~TaskbarProgress() {
    hide();
}

void TaskbarProgress::setProgress(int value, int maximum) {
    if (maximum <= 0)
        return;
    send(static_cast<int>(std::clamp(qint64(value) * 100 / maximum, qint64(0), qint64(100))), true);
}

void TaskbarProgress::hide() {
    if (m_visible)
        send(m_sentPercent, false);
}

void TaskbarProgress::send(int percent, bool visible) {
    if (percent == m_sentPercent && visible == m_visible)
        return;
    m_sentPercent = percent;
    m_visible = visible;
    const HWND button = buttonWindow(m_window);
    if (!button)
        return;
    // Without a taskbar (a server core, Wine without a desktop shell) the program goes on without.
    const TaskbarList taskbar;
    if (!taskbar)
        return;
    if (!visible) {
        taskbar->SetProgressState(button, TBPF_NOPROGRESS);
        return;
    }
    taskbar->SetProgressState(button, TBPF_NORMAL);
    taskbar->SetProgressValue(button, static_cast<ULONGLONG>(percent), 100);
}

} // namespace quillon::ui
