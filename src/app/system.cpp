#include "app/system.h"

#include <QDir>

#include <string>

namespace quillon {
namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

bool isWindowsDrivePath(const QString& text) {
    return text.size() >= 2 && text[1] == u':' && text[0].isLetter() && text[0].unicode() < 128;
}

// A host path in Qt's form: "/" separators (Total Commander's world writes "\"), no "." or ".."
// or doubled separators, and a trailing "/" kept where the text had one.
QString hostForm(QString path) {
    // Drive-letter paths are host paths on Windows only, where the platform already writes "/".
    const bool windowsHost = isWindowsDrivePath(path) && path.mid(2, 1) == u"/";
    if (!path.startsWith(u'/') && !windowsHost)
        return path;
    path.replace(u'\\', u'/');
    const bool trailing = path.endsWith(u'/');
    path = QDir::cleanPath(path);
    if (trailing && !path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

System::System(std::unique_ptr<platform::Platform> platform) : m_platform(std::move(platform)) {}

QString System::readRegistryString(platform::RegistryRoot root, const QString& keyPath, const QString& name,
                                   const QString& defaultValue) const {
    return fromUtf8(platform::ReadRegistryValue(m_platform->registry(), root, utf8(keyPath), utf8(name),
                                                utf8(defaultValue)));
}

qint64 System::readRegistryInt(platform::RegistryRoot root, const QString& keyPath, const QString& name,
                               qint64 defaultValue) const {
    return platform::ReadRegistryValue(m_platform->registry(), root, utf8(keyPath), utf8(name),
                                       static_cast<std::int64_t>(defaultValue));
}

QString System::expandTcPath(const QString& text) const {
    const QString expanded = fromUtf8(platform::ExpandEnvPath(m_platform->tcEnvironment(), utf8(text)));
    if (expanded == text)
        return text;
    const QString host = toHostPath(expanded);
    return host.isEmpty() ? expanded : host;
}

QString System::expandTcVariable(const QString& text) const {
    const QString expanded = fromUtf8(platform::ExpandEnvVariable(m_platform->tcEnvironment(), utf8(text)));
    if (expanded.isEmpty())
        return expanded;
    const QString host = toHostPath(expanded);
    return host.isEmpty() ? expanded : host;
}

QString System::toHostPath(const QString& windowsOrHostPath) const {
    if (windowsOrHostPath.startsWith(u'/'))
        return hostForm(windowsOrHostPath);
    if (!isWindowsDrivePath(windowsOrHostPath) && !windowsOrHostPath.startsWith(u"\\\\"))
        return {};
    return hostForm(fromUtf8(m_platform->paths().toHostPath(utf8(windowsOrHostPath))));
}

QString System::toWindowsPath(const QString& hostPath) const {
    return fromUtf8(m_platform->paths().toWindowsPath(utf8(hostPath)));
}

QString System::expandEnvPath(const QString& text) const {
    return hostForm(fromUtf8(platform::ExpandEnvPath(m_platform->ownEnvironment(), utf8(text))));
}

QString System::expandEnvVariable(const QString& text) const {
    return hostForm(fromUtf8(platform::ExpandEnvVariable(m_platform->ownEnvironment(), utf8(text))));
}

int System::setEnvVariable(const QString& name, const QString& value) {
    return platform::SetEnvVariable(m_platform->ownEnvironment(), utf8(name), utf8(value));
}

QString System::specialFolderPath(int csidl) const {
    return hostForm(fromUtf8(m_platform->folders().specialFolderPath(csidl)));
}

QString System::knownFolderPath(int csidl, const QString& knownFolderId) const {
    return hostForm(fromUtf8(m_platform->folders().knownFolderPath(csidl, utf8(knownFolderId))));
}

QString System::tempDirectory() const {
    return hostForm(fromUtf8(m_platform->folders().tempDirectory()));
}

QString System::windowsDirectory() const {
    return hostForm(fromUtf8(m_platform->folders().windowsDirectory()));
}

QString System::windowsDrive() const {
    return hostForm(fromUtf8(m_platform->folders().windowsDrive()));
}

} // namespace quillon
