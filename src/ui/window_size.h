#pragma once
// The client size a secondary window keeps in the settings (GUI/..._W and ..._H), read when it
// opens and written when it closes.
class QWidget;

namespace quillon {
class AppCore;
}

namespace quillon::ui {

enum class WindowSizeKeys { UserDbEditor, PluginDbBrowser };

void restoreWindowSize(AppCore& core, QWidget& window, WindowSizeKeys keys);
void saveWindowSize(AppCore& core, const QWidget& window, WindowSizeKeys keys);

} // namespace quillon::ui
