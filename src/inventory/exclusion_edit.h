#pragma once
// Putting rows of the update list on the exception list: which rows may go, and taking them out
// of the list, its group file lists and its snapshot at once, exactly as the next inventory pass
// will leave them out.
#include <QString>
#include <QStringList>

#include <functional>

namespace quillon {

class UpdateList;

enum class ExcludeMode {
    File,      // the row's own file
    Directory, // every file directly in the row's directory
};

struct ExclusionContext {
    QString tcDir;       // Total Commander's directory (host path)
    QString tcExeFile;   // Total Commander's executable (host path)
    QString programPath; // Quillon's executable (host path)
    // A host path with Total Commander's directory written as "%COMMANDER_PATH%"; none: as is.
    std::function<QString(const QString&)> toEnvPath;
    // A stored line turned back into a host path; none: as is.
    std::function<QString(const QString&)> expand;
};

struct ExcludeResult {
    bool excluded = false; // false: the row may not be excluded this way; nothing changed
    QString line;          // the exception line added (or already there)
    int rowsRemoved = 0;
    // The row was Total Commander's executable: its detection should be switched off.
    bool doNotDetectTc = false;
};

// Whether the row of filePath may be excluded in this mode: never the program itself or the two
// database rows; by directory never for Total Commander's or Quillon's own directory.
bool canExclude(const QString& filePath, ExcludeMode mode, const ExclusionContext& context);

// Adds the line for filePath to exceptionList (sorted, unique without regard to letter case) and
// removes every row, group list entry and snapshot line the new line hides.
ExcludeResult ExcludeItemFromList(UpdateList& list, QStringList& exceptionList, const QString& filePath,
                                  ExcludeMode mode, const ExclusionContext& context);

} // namespace quillon
