#pragma once
// Replacing the running executable: it is renamed out of the way (a running program may be
// renamed but not overwritten on Windows), the package is copied, and the program restarts.
#include <QString>

namespace quillon {

class Language;

// none -> executable replaced (the new file was copied) -> restart pending (after that, a row
// of the list was refreshed). A failed copy goes back to none.
enum class SelfUpdateState { None, ExecutableReplaced, RestartPending };

// The name the running executable is moved aside to in its own folder ("QN_old.exe" for a
// Windows program, "<name>_old" otherwise).
QString OldExecutableName(const QString& executablePath);

// Whether a request for itemPath replaces the running executable (letter case ignored, the
// same file under any spelling of its path).
bool IsRunningExecutable(const QString& itemPath, const QString& runningExecutable);

// Why the running executable must not be replaced from a download, or empty when it may: one
// the user cannot write (installed for all users) or one a package of the system owns is
// updated by the package manager that put it there.
QString SelfUpdateRefusal(const QString& runningExecutable, const QString& packageInfoDir = {});

// Moves the running executable to its "old" name in its own folder, replacing an older one.
// False with errorText when it stays where it is.
bool MoveRunningExecutableAside(const QString& runningExecutable, QString* errorText);

// The restart notice: Total Commander's close request with the program's name in its place.
QString RestartNoticeText(const Language& language);

// The arguments a restarted program is given.
QStringList RestartArguments();

} // namespace quillon
