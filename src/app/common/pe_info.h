#pragma once
// Version information and other facts read from Windows executables (plugins, add-ons, Total
// Commander). Every routine is safe on damaged files: they give "no information".
#include <QDateTime>
#include <QString>

#include <optional>

#include "app/common/version_info.h"

namespace quillon {

// True when the file starts with a DOS header whose header offset leads to the "PE" signature.
bool IsPEFile(const QString& path);

// "major.minor.release.build" of the fixed file version; empty without version information.
QString GetFileVersionNumber(const QString& path);

struct FileVersionStrings {
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyRight;
    QString LegalTradeMark;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
};
// The ten strings of the US English / Windows-1252 block ("040904E4") only; fields the file
// does not have (or every field, for a file without that block) are empty.
FileVersionStrings ReadFileVersionStrings(const QString& path);

// Version strings of a file from the block its first translation names.
class TCEVersionInfo {
public:
    // Clears every field, then fills them from the file; false without version information.
    bool GetInfo(const QString& fileName);
    // The same from version information already read; false for none.
    bool GetInfo(const std::optional<pe::VersionInfo>& versionInfo);
    void NullValues();

    QString FCompanyName;
    QString FFileDescription;
    QString FFileVersion;
    QString FInternalname;
    QString FLegalCopyright;
    QString FLegalTradeMarks;
    QString FOriginalFilename;
    QString FProductName;
    QString FProductVersion;
    QString FComments;
    QString FMajorVersion;
    QString FMinorVersion;
    QString FRelease;
    QString FBuild;
};

// What an item's identification reads from its executable, from one reading of the file.
struct ExecutableFacts {
    TCEVersionInfo info;                // as after GetInfo
    QString fileVersionNumber;          // GetFileVersionNumber
    std::optional<QDateTime> timeStamp; // PEFileTimeStamp
};
ExecutableFacts ReadExecutableFacts(const QString& path);

// IsPEFile and ReadExecutableFacts from a single opening of the file.
struct ExecutableReading {
    bool isPeFile = false;
    ExecutableFacts facts;
};
ExecutableReading ReadExecutable(const QString& path);

// A 64-bit build: path + ".MANIFEST" decides when it exists (processorArchitecture="amd64");
// otherwise a file description mentioning "32" or "86" means 32-bit. False for a missing file.
bool Is64BitExecutable(const QString& path);

// The link time stamp (UTC); no value when the file is not a readable PE image.
std::optional<QDateTime> PEFileTimeStamp(const QString& path);

// The script stored in an executable compiled from an AutoHotkey script (RCDATA resource
// ">AHK WITH ICON<"), decoded as Windows-1252. Empty text when there is no such resource; no
// value when the file is not a readable PE image.
std::optional<QString> ReadAhkScriptResource(const QString& path);

// The executable's first icon group as the bytes of an .ico file; empty when it has none.
QByteArray FirstIconGroup(const QString& path);

} // namespace quillon
