#pragma once
// Version overrides kept in the settings file: for a plugin file whose version cannot be read
// from the file itself, the version the user or the update check accepted, tied to the file's
// CRC-32 so that a replaced file no longer matches.
#include <QString>

#include <QStringList>

#include <optional>

namespace quillon {

class IniDocument;

struct VersionOverride {
    quint32 crc = 0;
    QString version;
};

// The key a path is stored under: one inside Total Commander's directory
// ("%COMMANDER_PATH%/...") in the Windows form with backslashes, as the Windows program writes
// it, so that one settings file serves both; any other path as it is.
QString OverrideKey(const QString& path);
// The value stored for path under any of its forms ("/" or "\\" after the variable); empty
// when none.
QString StoredOverride(const IniDocument& store, const QString& path);
// Writes value under OverrideKey(path), dropping the entry of the other form.
void StoreOverride(IniDocument& store, const QString& path, const QString& value);

class VersionOverrides {
public:
    explicit VersionOverrides(IniDocument& store) : m_store(store) {}

    // Looked up as the path is shown, then in its "%COMMANDER_PATH%" form. An entry that does
    // not hold "CRC|version" with a decimal CRC counts as absent.
    std::optional<VersionOverride> lookup(const QString& shownPath, const QString& envPath) const;
    // Keyed by the "%COMMANDER_PATH%" form of the path (OverrideKey).
    void set(const QString& envPath, quint32 crc, const QString& version);
    void remove(const QString& path);

    static std::optional<VersionOverride> parse(const QString& value);

private:
    IniDocument& m_store;
};

} // namespace quillon
