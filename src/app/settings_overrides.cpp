#include "app/settings_overrides.h"

#include "app/ini_document.h"
#include "app/settings_keys.h"

namespace quillon {

namespace {
QString sectionName() {
    return QString::fromLatin1(section::OverridePlugVer);
}
} // namespace

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
        if (path.isEmpty() || !m_store.hasKey(sectionName(), path))
            continue;
        if (auto entry = parse(m_store.value(sectionName(), path)))
            return entry;
    }
    return std::nullopt;
}

void VersionOverrides::set(const QString& envPath, quint32 crc, const QString& version) {
    m_store.setValue(sectionName(), envPath, QString::number(crc) + QLatin1Char('|') + version);
}

void VersionOverrides::remove(const QString& path) {
    m_store.removeKey(sectionName(), path);
}

} // namespace quillon
