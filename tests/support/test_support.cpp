#include "support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::test {

bool copyTree(const QString& source, const QString& dest) {
    QDir().mkpath(dest);
    QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString target = dest + QLatin1Char('/') + info.fileName();
        if (info.isSymLink()) {
            // The link as stored: a relative link (dosdevices/c: -> ../drive_c) must stay relative,
            // or the copy would lead back into the original.
            std::error_code error;
            const std::filesystem::path stored =
                std::filesystem::read_symlink(info.filePath().toStdString(), error);
            if (error || !QFile::link(QString::fromStdString(stored.string()), target))
                return false;
        } else if (info.isDir()) {
            if (!copyTree(info.filePath(), target))
                return false;
        } else {
            // Dates matter (build date against publication date): keep them.
            QFile copy(target);
            if (!QFile::copy(info.filePath(), target) || !copy.open(QIODevice::ReadWrite) ||
                !copy.setFileTime(info.lastModified(), QFileDevice::FileModificationTime))
                return false;
        }
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesBelow(const QString& dir) {
    QStringList found;
    const auto entries = QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo& info : entries) {
        if (info.isDir() && !info.isSymLink()) {
            const QStringList inside = filesBelow(info.filePath());
            if (inside.isEmpty())
                found.append(info.fileName());
            for (const QString& inner : inside)
                found.append(info.fileName() + QLatin1Char('/') + inner);
        } else {
            found.append(info.fileName());
        }
    }
    found.sort();
    return found;
}

CliResult runCli(const QStringList& arguments, const QStringList& environment, int timeoutMs) {
    return runProgram(QString::fromUtf8(QUILLON_CLI_PATH), arguments, environment, timeoutMs);
}

CliResult runProgram(const QString& program, const QStringList& arguments, const QStringList& environment,
                     int timeoutMs) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"WINEPREFIX", "COMMANDER_PATH", "COMMANDER_EXE", "COMMANDER_INI",
                             "COMMANDER_DRIVE", "LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0)
            env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    CliResult result;
    if (!process.waitForStarted(timeoutMs))
        return result;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

ReadOnlyFolder::ReadOnlyFolder(QString path) : m_path(std::move(path)) {
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString probe = m_path + QStringLiteral("/.probe");
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly)) {
        m_ok = true;
        return;
    }
    file.close();
    QFile::remove(probe);
    // Root ignores permissions; the immutable attribute stops it too.
    m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    m_ok = m_immutable;
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_immutable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

bool inCi() {
    return qEnvironmentVariableIsSet("CI");
}

bool requireMingw() {
    if (QUILLON_HAVE_MINGW)
        return true;
    if (inCi())
        ADD_FAILURE() << "MinGW-w64 is required in CI (tools/install-deps.sh installs it)";
    return false;
}

} // namespace quillon::test
