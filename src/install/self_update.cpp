#include "install/self_update.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "app/common/files.h"
#include "app/common/regular_file.h"
#include "app/language.h"
#include "platform/package_owner.h"

using namespace Qt::StringLiterals;

namespace quillon {

QString OldExecutableName(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).fileName();
    if (name.endsWith(".exe"_L1, Qt::CaseInsensitive))
        return u"QN_old.exe"_s;
    return name + "_old"_L1;
}

bool IsRunningExecutable(const QString& itemPath, const QString& runningExecutable) {
    if (itemPath.isEmpty() || runningExecutable.isEmpty())
        return false;
    const QFileInfo item(itemPath);
    const QFileInfo running(runningExecutable);
    if (item.absoluteFilePath().compare(running.absoluteFilePath(), Qt::CaseInsensitive) == 0)
        return true;
    const QString a = item.canonicalFilePath();
    return !a.isEmpty() && a == running.canonicalFilePath();
}

QString SelfUpdateRefusal(const QString& runningExecutable, const QString& packageInfoDir) {
    const QFileInfo running(runningExecutable);
    const QString shown = QDir::toNativeSeparators(running.absoluteFilePath());
    const QFileInfo folder(running.absolutePath());
    if (!running.isWritable() || !folder.isWritable())
        return u"%1 is not yours to replace; update it the way it was installed"_s.arg(shown);
    const std::string infoDir =
        packageInfoDir.isEmpty() ? std::string(platform::kDpkgInfoDir) : PlatformPath(packageInfoDir);
    const std::string owner = platform::PackageOwningFile(PlatformPath(running.absoluteFilePath()), infoDir);
    if (!owner.empty())
        return u"%1 belongs to the package %2; update it with the package manager"_s.arg(
            shown, QString::fromStdString(owner));
    return {};
}

bool MoveRunningExecutableAside(const QString& runningExecutable, QString* errorText) {
    const QFileInfo running(runningExecutable);
    if (!running.isFile()) {
        *errorText = u"%1 does not exist"_s.arg(runningExecutable);
        return false;
    }
    const QString old = running.absolutePath() + u'/' + OldExecutableName(runningExecutable);
    return MoveFileReplacing(running.absoluteFilePath(), old, true, errorText);
}

QString RestartNoticeText(const Language& language) {
    QString text = language.text(u"ErrorMessages"_s, u"InstallError_02"_s,
                                 u"You need to close Total Commander before continuing this operation!"_s);
    for (const QString& name : {u"Total Commander"_s, u"TotalCommander"_s, u"TC"_s})
        text.replace(name, u"#QN#"_s, Qt::CaseInsensitive);
    text.replace(u"#QN#"_s, u"Quillon"_s);
    return text;
}

QStringList RestartArguments() {
    return {u"/restart"_s, u"/autostart"_s};
}

} // namespace quillon
