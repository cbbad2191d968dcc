#include "ui/window_size.h"

#include <QWidget>

#include "app/settings_keys.h"
#include "engine/app_core.h"

namespace quillon::ui {

namespace {

std::pair<const SettingKey*, const SettingKey*> keysOf(WindowSizeKeys keys) {
    if (keys == WindowSizeKeys::UserDbEditor)
        return {&key::UserDbFormW, &key::UserDbFormH};
    return {&key::IpdFormW, &key::IpdFormH};
}

int readInt(const IniDocument& store, const SettingKey& key) {
    bool ok = false;
    const int value = store.value(key.sectionName(), key.keyName()).trimmed().toInt(&ok);
    return ok && value > 0 ? value : key.intDefault;
}

} // namespace

void restoreWindowSize(AppCore& core, QWidget& window, WindowSizeKeys keys) {
    const auto [w, h] = keysOf(keys);
    window.resize(readInt(core.stores().settings, *w), readInt(core.stores().settings, *h));
}

void saveWindowSize(AppCore& core, const QWidget& window, WindowSizeKeys keys) {
    const auto [w, h] = keysOf(keys);
    core.stores().settings.setValue(w->sectionName(), w->keyName(), QString::number(window.width()));
    core.stores().settings.setValue(h->sectionName(), h->keyName(), QString::number(window.height()));
}

} // namespace quillon::ui
