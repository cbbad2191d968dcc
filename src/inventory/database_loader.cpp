#include "inventory/database_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "app/common/archive_file.h"
#include "app/common/regular_file.h"
#include "app/common/strings.h"
#include "app/ini_document.h"
#include "inventory/plugin_database.h"
#include "inventory/update_item.h"

namespace quillon {

namespace {

// Far above any real database; stops a crafted archive from filling memory.
constexpr qint64 kMaxMemberSize = 64 * 1024 * 1024;

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

QString archiveError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unreadable archive");
}

IniDocument emptyPluginDb() {
    return IniDocument(QStringLiteral("tcPlugin.ini"), IniDocument::Encoding::Latin1);
}

// The INI text inside a Base64 member or resource; empty when it does not decode.
IniDocument pluginDbFromBase64(const QByteArray& encoded) {
    IniDocument db = emptyPluginDb();
    db.setBytes(DecodeBase64(encoded));
    return db;
}

std::optional<QByteArray> readResource(const QString& path, QString* errorText) {
    QFile file(path);
    if (!OpenRegularFile(file)) {
        *errorText = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

// database.dat's plugin database as it decodes, whether genuine or not.
std::optional<IniDocument> readExternalPluginDb(const QString& settingsDir, QString* errorText) {
    const auto bytes = readArchiveMember(databaseArchivePath(settingsDir), kPluginDbMember, errorText);
    if (!bytes)
        return std::nullopt;
    return pluginDbFromBase64(*bytes);
}

void readChangeLogNames(const IniDocument& db, DatabaseLoadResult& result) {
    const auto name = [&](QLatin1StringView key) {
        const QString v = db.value(dbkey::Configuration, key).trimmed();
        return v.isEmpty() ? QString(kDefaultChangeLogName) : v;
    };
    result.changeLogStable = name(dbkey::LatestTCcl_stbl);
    result.changeLogBeta = name(dbkey::LatestTCcl_beta);
}

} // namespace

QString databaseArchivePath(const QString& settingsDir) {
    return QDir(settingsDir).filePath(kDatabaseArchiveName);
}

std::optional<QByteArray> readArchiveMember(const QString& archivePath, const QString& memberName,
                                            QString* errorText) {
    QString ignored;
    QString& error = errorText ? *errorText : ignored;
    const QString where = QDir::toNativeSeparators(archivePath);

    std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
    if (!a) {
        error = QStringLiteral("%1: out of memory").arg(where);
        return std::nullopt;
    }
    archive_read_support_format_zip(a.get());
    if (OpenArchiveFile(a.get(), archivePath, 65536) != ARCHIVE_OK) {
        error = QStringLiteral("%1: %2").arg(where, archiveError(a.get()));
        return std::nullopt;
    }
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const QString name =
            utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
        if (name.compare(memberName, Qt::CaseInsensitive) != 0 || archive_entry_filetype(entry) != AE_IFREG)
            continue;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > kMaxMemberSize) {
            error = QStringLiteral("%1: %2 is too large").arg(where, memberName);
            return std::nullopt;
        }
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const la_ssize_t n = archive_read_data(a.get(), buffer, sizeof buffer);
            if (n < 0) {
                error = QStringLiteral("%1: %2: %3").arg(where, memberName, archiveError(a.get()));
                return std::nullopt;
            }
            if (n == 0)
                break;
            if (data.size() + n > kMaxMemberSize) {
                error = QStringLiteral("%1: %2 is too large").arg(where, memberName);
                return std::nullopt;
            }
            data.append(buffer, n);
        }
        return data;
    }
    if (status != ARCHIVE_EOF)
        error = QStringLiteral("%1: %2").arg(where, archiveError(a.get()));
    else
        error = QStringLiteral("%1: no member %2").arg(where, memberName);
    return std::nullopt;
}

QString GetExternalDBversion(const QString& settingsDir) {
    if (!QFileInfo::exists(databaseArchivePath(settingsDir)))
        return QString(kNoDatabaseDateText);
    QString error;
    const auto db = readExternalPluginDb(settingsDir, &error);
    if (!db || !isAcceptedPluginDatabase(*db))
        return QString(kNoDatabaseDateText);
    return databaseUpdateText(*db);
}

DatabaseLoadResult LoadPluginDatabases(IniDocument& pluginDb, IniDocument& checksumDb,
                                       const DatabaseLoadOptions& options) {
    DatabaseLoadResult result;
    result.changeLogStable = QString(kDefaultChangeLogName);
    result.changeLogBeta = QString(kDefaultChangeLogName);
    const QString archivePath = databaseArchivePath(options.settingsDir);
    const bool archiveExists = QFileInfo::exists(archivePath);
    result.forceUseExtDb = options.forceUseExtDb && archiveExists;

    const auto loadBuiltIn = [&] {
        QString error;
        if (const auto encoded = readResource(options.builtInPluginDb, &error)) {
            pluginDb = pluginDbFromBase64(*encoded);
            if (countEntries(pluginDb) == 0)
                result.problems.append(
                    QStringLiteral("%1: no plugin database entries").arg(options.builtInPluginDb));
            result.entryCount = countEntries(pluginDb);
            readChangeLogNames(pluginDb, result);
        } else {
            // Without a built-in copy the store keeps what it held.
            result.problems.append(error);
            result.entryCount = countEntries(pluginDb);
        }
    };

    // database.dat is read once; whatever is wrong with it is reported, and the built-in
    // copy stays.
    std::optional<IniDocument> external;
    if (archiveExists) {
        QString error;
        external = readExternalPluginDb(options.settingsDir, &error);
        if (!external) {
            result.problems.append(error);
        } else if (countEntries(*external) == 0) {
            result.problems.append(QStringLiteral("%1: %2 holds no plugin database")
                                       .arg(QDir::toNativeSeparators(archivePath), kPluginDbMember));
            external.reset();
        }
    }

    bool loadExternal = false;
    if (result.forceUseExtDb) {
        loadExternal = external.has_value();
        if (!loadExternal)
            loadBuiltIn(); // forced, but nothing usable to force
    } else {
        loadBuiltIn();
        if (external && isAcceptedPluginDatabase(*external)) {
            const auto date = parseDatabaseDate(databaseUpdateText(*external));
            loadExternal = date && databaseReleaseDate(pluginDb) < *date;
        }
    }

    if (loadExternal) {
        pluginDb = std::move(*external);
        result.entryCount = countEntries(pluginDb);
        if (isAcceptedPluginDatabase(pluginDb)) {
            result.externalLoaded = true;
            readChangeLogNames(pluginDb, result);
        }
    }

    pluginDb.setValue(kPluginDbPath, dbkey::WebsiteID, kPluginDbPath);
    pluginDb.setValue(kChecksumDbPath, dbkey::WebsiteID, kPluginDbPath);
    result.updateText = databaseUpdateText(pluginDb);

    checksumDb = IniDocument(QStringLiteral("checksumdb.ini"), IniDocument::Encoding::Latin1);
    bool checksumsLoaded = false;
    if (result.externalLoaded && archiveExists) {
        QString error;
        if (const auto bytes = readArchiveMember(archivePath, kChecksumDbMember, &error)) {
            checksumDb.setBytes(*bytes);
            checksumsLoaded = true;
        } else {
            result.problems.append(error);
        }
    }
    if (!checksumsLoaded) {
        QString error;
        if (const auto bytes = readResource(options.builtInChecksumDb, &error))
            checksumDb.setBytes(*bytes);
        else
            result.problems.append(error);
    }
    result.checksumEntryCount = checksumDb.sectionCount();
    return result;
}

QString pluginDbHeaderText(const QString& nrOfPluginsText, const QString& updateText) {
    QString text = nrOfPluginsText;
    text.remove(QStringLiteral("%s"), Qt::CaseInsensitive);
    return text.trimmed() + QStringLiteral(" (") + updateText.trimmed() + QLatin1Char(')');
}

} // namespace quillon
