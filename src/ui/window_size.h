#pragma once
// The client size a secondary window keeps in the settings (GUI/..._W and ..._H), read when it
// opens and written when it closes.
class QWidget;

namespace quillon {
class IniDocument;
}

namespace quillon::ui {

enum class WindowSizeKeys { UserDbEditor, PluginDbBrowser };

// settings: the settings store.
void restoreWindowSize(const IniDocument& settings, QWidget& window, WindowSizeKeys keys);
void saveWindowSize(IniDocument& settings, const QWidget& window, WindowSizeKeys keys);

} // namespace quillon::ui
