#include "app/settings_keys.h"

#include "app/common/strings.h"

namespace quillon {

bool ReadSettingBool(const IniDocument& store, const SettingKey& key) {
    if (!store.hasKey(key.sectionName(), key.keyName()))
        return key.boolDefault;
    // Deliberately untrimmed: "TRUE " is not "true".
    return SettingTextToBool(store.value(key.sectionName(), key.keyName()));
}

int ReadSettingInt(const IniDocument& store, const SettingKey& key, int defaultValue) {
    const QString text = store.value(key.sectionName(), key.keyName()).trimmed();
    return TryParseInteger(text).value_or(defaultValue);
}

int ReadSettingInt(const IniDocument& store, const SettingKey& key) {
    return ReadSettingInt(store, key, key.intDefault);
}

QString CleanSettingText(const SettingKey& key, const QString& text) {
    switch (key.rule) {
    case TextRule::AsRead:
        return text;
    case TextRule::Trimmed:
        return text.trimmed();
    case TextRule::TrimmedUpper:
        return text.trimmed().toUpper();
    case TextRule::BaseAddress: {
        QString address = text.trimmed();
        // Page names are appended to it, so a missing "/" would glue them to the host.
        if (!address.isEmpty() && !address.endsWith(QLatin1Char('/')))
            address += QLatin1Char('/');
        return address;
    }
    }
    return text;
}

QString ReadSettingText(const IniDocument& store, const SettingKey& key, const QString& defaultValue) {
    if (!store.hasKey(key.sectionName(), key.keyName()))
        return CleanSettingText(key, defaultValue);
    return CleanSettingText(key, store.value(key.sectionName(), key.keyName()));
}

QString ReadSettingText(const IniDocument& store, const SettingKey& key) {
    return ReadSettingText(store, key, QString::fromLatin1(key.textDefault));
}

void WriteSetting(IniDocument& store, const SettingKey& key, bool value) {
    store.setValue(key.sectionName(), key.keyName(), BoolToSettingText(value));
}

void WriteSetting(IniDocument& store, const SettingKey& key, int value) {
    store.setValue(key.sectionName(), key.keyName(), QString::number(value));
}

void WriteSetting(IniDocument& store, const SettingKey& key, const QString& value) {
    const QString text = key.rule == TextRule::AsRead ? value.trimmed() : CleanSettingText(key, value);
    store.setValue(key.sectionName(), key.keyName(), text);
}

int DefaultColumnWidth(int listWidth, int column) {
    const int quarter = listWidth / 4;
    switch (column) {
    case 0:
        return quarter + 38;
    case 3:
        return quarter + 13;
    default:
        return quarter - 37;
    }
}

std::pair<int, int> ReadWindowSize(const IniDocument& store, const WindowSizeKeys& keys) {
    return {ReadSettingInt(store, keys.width), ReadSettingInt(store, keys.height)};
}

void WriteWindowSize(IniDocument& store, const WindowSizeKeys& keys, int width, int height) {
    WriteSetting(store, keys.width, width);
    WriteSetting(store, keys.height, height);
}

} // namespace quillon
