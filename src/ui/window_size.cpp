#include "ui/window_size.h"

#include <QWidget>

#include "app/ini_document.h"
#include "app/settings_keys.h"

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

void restoreWindowSize(const IniDocument& settings, QWidget& window, WindowSizeKeys keys) {
    const auto [w, h] = keysOf(keys);
    window.resize(readInt(settings, *w), readInt(settings, *h));
}

void saveWindowSize(IniDocument& settings, const QWidget& window, WindowSizeKeys keys) {
    const auto [w, h] = keysOf(keys);
    settings.setValue(w->sectionName(), w->keyName(), QString::number(window.width()));
    settings.setValue(h->sectionName(), h->keyName(), QString::number(window.height()));
}

} // namespace quillon::ui
