#include "app/settings_overrides.h"

#include "app/ini_document.h"
#include "app/settings_keys.h"

namespace quillon {

namespace {
QString sectionName() {
    return QString::fromLatin1(section::OverridePlugVer);
}

bool startsWithVariable(const QString& path) {
    return path.startsWith(QLatin1Char('%'));
}

// The path as given, then with the other separator (only after a variable: a host path with a
// backslash is another file).
QStringList keyForms(const QString& path) {
    QStringList forms{path};
    if (startsWithVariable(path)) {
        for (const QString& other : {QString(path).replace(QLatin1Char('/'), QLatin1Char('\\')),
                                     QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'))}) {
            if (!forms.contains(other))
                forms.append(other);
        }
    }
    return forms;
}
} // namespace

QString OverrideKey(const QString& path) {
    return startsWithVariable(path) ? QString(path).replace(QLatin1Char('/'), QLatin1Char('\\')) : path;
}

QString StoredOverride(const IniDocument& store, const QString& path) {
    for (const QString& form : keyForms(path)) {
        if (store.hasKey(sectionName(), form))
            return store.value(sectionName(), form);
    }
    return {};
}

void StoreOverride(IniDocument& store, const QString& path, const QString& value) {
    const QString key = OverrideKey(path);
    for (const QString& form : keyForms(path)) {
        if (form != key)
            store.removeKey(sectionName(), form);
    }
    store.setValue(sectionName(), key, value);
}

std::optional<VersionOverride> VersionOverrides::parse(const QString& value) {
    const qsizetype bar = value.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return std::nullopt;
    bool ok = false;
    const uint crc = value.left(bar).trimmed().toUInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return VersionOverride{crc, value.mid(bar + 1)};
}

std::optional<VersionOverride> VersionOverrides::lookup(const QString& shownPath,
                                                        const QString& envPath) const {
    for (const QString& path : {shownPath, envPath}) {
        if (path.isEmpty())
            continue;
        if (auto entry = parse(StoredOverride(m_store, path)))
            return entry;
    }
    return std::nullopt;
}

void VersionOverrides::set(const QString& envPath, quint32 crc, const QString& version) {
    StoreOverride(m_store, envPath, QString::number(crc) + QLatin1Char('|') + version);
}

void VersionOverrides::remove(const QString& path) {
    for (const QString& form : keyForms(path))
        m_store.removeKey(sectionName(), form);
}

} // namespace quillon
