#include "support/zip_writer.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

namespace quillon::test {

bool writeZip(const QString& path, const ZipMembers& members, const char* compression) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_format_option(a, "zip", "compression", compression);
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (const auto& [name, data] : members) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, data.size());
        ok = ok && archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, data.constData(), static_cast<size_t>(data.size())) == data.size();
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

} // namespace quillon::test
