#include "install/rar_library.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace quillon::rar {

namespace {

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& target) {
    target = reinterpret_cast<Function>(library.resolve(name));
    return target != nullptr;
}

} // namespace

QString SystemLibrary() {
#ifdef Q_OS_WIN
    return {};
#else
    for (const QString& name : {u"libunrar.so.5"_s, u"libunrar.so"_s}) {
        // A bare name is searched by the dynamic loader alone; QLibrary adds no folder of its own.
        QLibrary probe(name);
        if (probe.load())
            return name; // stays loaded: RarArchive loads it again by the same name
    }
    return {};
#endif
}

Library::~Library() {
    unload();
}

bool Library::load(const QString& path, QString* errorText) {
    unload();
    m_library.setFileName(path);
    if (!m_library.load()) {
        *errorText = u"cannot load the unrar library %1: %2"_s.arg(QDir::toNativeSeparators(path),
                                                                   m_library.errorString());
        return false;
    }
    const std::pair<const char*, bool> entryPoints[] = {
        {"RAROpenArchive", resolve(m_library, "RAROpenArchive", m_api.openArchive)},
        {"RAROpenArchiveEx", resolve(m_library, "RAROpenArchiveEx", m_api.openArchiveEx)},
        {"RARCloseArchive", resolve(m_library, "RARCloseArchive", m_api.closeArchive)},
        {"RARReadHeader", resolve(m_library, "RARReadHeader", m_api.readHeader)},
        {"RARReadHeaderEx", resolve(m_library, "RARReadHeaderEx", m_api.readHeaderEx)},
        {"RARProcessFile", resolve(m_library, "RARProcessFile", m_api.processFile)},
        {"RARProcessFileW", resolve(m_library, "RARProcessFileW", m_api.processFileW)},
        {"RARSetCallback", resolve(m_library, "RARSetCallback", m_api.setCallback)},
        {"RARSetChangeVolProc", resolve(m_library, "RARSetChangeVolProc", m_api.setChangeVolProc)},
        {"RARSetProcessDataProc", resolve(m_library, "RARSetProcessDataProc", m_api.setProcessDataProc)},
        {"RARSetPassword", resolve(m_library, "RARSetPassword", m_api.setPassword)},
        {"RARGetDllVersion", resolve(m_library, "RARGetDllVersion", m_api.getDllVersion)},
    };
    for (const auto& [name, found] : entryPoints) {
        if (!found) {
            *errorText = u"the unrar library %1 lacks the entry point %2"_s.arg(
                QDir::toNativeSeparators(path), QString::fromLatin1(name));
            unload();
            return false;
        }
    }
    m_loaded = true;
    return true;
}

void Library::unload() {
    m_api = Api();
    m_loaded = false;
    if (m_library.isLoaded())
        m_library.unload();
}

} // namespace quillon::rar
