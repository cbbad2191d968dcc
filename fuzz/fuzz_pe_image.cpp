// A plugin file, add-on or Total Commander's executable: every reader of executables, from the
// bytes and from a file, as identification and the information windows call them.
#include "app/common/pe_image.h"
#include "app/common/pe_info.h"
#include "app/common/version_info.h"
#include "fuzz_support.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    if (const auto image = pe::PeImage::fromBytes(bytes)) {
        TCEVersionInfo info;
        const auto version = image->firstResource(pe::ResourceTypeVersion);
        info.GetInfo(version ? pe::ParseVersionInfo(*version) : std::nullopt);
        (void)image->resource(pe::ResourceTypeVersion, quint16(1));
        (void)image->resource(pe::ResourceTypeRcData, QStringLiteral(">AHK WITH ICON<"));
    }

    const QString path = fuzz::scratchDir() + QStringLiteral("/plugin.wcx");
    fuzz::writeFile(path, bytes);
    const ExecutableReading reading = ReadExecutable(path);
    // One opening of the file must tell what the separate readers tell.
    FUZZ_CHECK(reading.isPeFile == IsPEFile(path));
    FUZZ_CHECK(reading.facts.fileVersionNumber == GetFileVersionNumber(path));
    FUZZ_CHECK(reading.facts.timeStamp == PEFileTimeStamp(path));
    (void)ReadFileVersionStrings(path);
    (void)Is64BitExecutable(path);
    (void)ReadAhkScriptResource(path);
    (void)FirstIconGroup(path);
    return 0;
}
