#pragma once
// Version overrides kept in the settings file: for a plugin file whose version cannot be read
// from the file itself, the version the user or the update check accepted, tied to the file's
// CRC-32 so that a replaced file no longer matches.
#include <QString>

#include <optional>

namespace quillon {

class IniDocument;

struct VersionOverride {
    quint32 crc = 0;
    QString version;
};

class VersionOverrides {
public:
    explicit VersionOverrides(IniDocument& store) : m_store(store) {}

    // Looked up as the path is shown, then in its "%COMMANDER_PATH%" form. An entry that does
    // not hold "CRC|version" with a decimal CRC counts as absent.
    std::optional<VersionOverride> lookup(const QString& shownPath, const QString& envPath) const;
    // Keyed by the "%COMMANDER_PATH%" form of the path.
    void set(const QString& envPath, quint32 crc, const QString& version);
    void remove(const QString& path);

    static std::optional<VersionOverride> parse(const QString& value);

private:
    IniDocument& m_store;
};

} // namespace quillon
