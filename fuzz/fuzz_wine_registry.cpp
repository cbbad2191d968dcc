// user.reg and system.reg of a Wine prefix, which anything running in the prefix may write.
#include "fuzz_support.h"
#include "platform/registry_wine.h"

#include <QString>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const platform::RegFile file = platform::RegFile::parse(content);
    for (const char* path : {"Software\\Ghisler\\Total Commander", "Environment", "Volatile Environment",
                             "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}) {
        (void)file.find(path);
    }
    // Every key the file names, looked up as the program would, links included.
    for (const QByteArray& line : QByteArray(content.data(), qsizetype(size)).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.indexOf(']') > 1) {
            const QByteArray key = trimmed.mid(1, trimmed.indexOf(']') - 1);
            (void)file.find(std::string_view(key.constData(), std::size_t(key.size())));
        }
    }
    return 0;
}
