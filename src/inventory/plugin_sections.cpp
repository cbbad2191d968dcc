#include "inventory/plugin_sections.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "app/ini_document.h"
#include "app/system.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

inline constexpr QLatin1StringView kConfiguration{"Configuration"};
inline constexpr QLatin1StringView kRedirectSection{"RedirectSection"};

// wincmd.ini is 8-bit text in the user's code page, or Unicode with a byte-order mark.
IniDocument readIni(const QString& path) {
    IniDocument ini(path, IniDocument::Encoding::Utf8);
    bool ok = false;
    const QString text = path.isEmpty() ? QString() : ReadTextFile(path, &ok);
    if (ok)
        ini.setText(text);
    return ini;
}

bool isBareFileName(const QString& text) {
    return !text.contains('/'_L1) && !text.contains('\\'_L1) && !text.contains(':'_L1);
}

QString directoryOf(const QString& file) {
    return QFileInfo(file).absolutePath();
}

} // namespace

QString pluginSectionName(PluginSection section) {
    switch (section) {
    case PluginSection::Packer:
        return u"PackerPlugins"_s;
    case PluginSection::FileSystem:
        return u"FileSystemPlugins"_s;
    case PluginSection::Lister:
        return u"ListerPlugins"_s;
    case PluginSection::Content:
        return u"ContentPlugins"_s;
    }
    return {};
}

ItemGroup pluginSectionGroup(PluginSection section) {
    switch (section) {
    case PluginSection::Packer:
        return ItemGroup::Wcx;
    case PluginSection::FileSystem:
        return ItemGroup::Wfx;
    case PluginSection::Lister:
        return ItemGroup::Wlx;
    case PluginSection::Content:
        return ItemGroup::Wdx;
    }
    return ItemGroup::Oth;
}

QString pluginSectionMask(PluginSection section) {
    return u"*."_s + groupShortName(pluginSectionGroup(section)) + '*'_L1;
}

QString pluginPathFromLine(PluginSection section, const QString& key, const QString& value) {
    const QString name = key.trimmed();
    if (name.isEmpty() || name.startsWith(';'_L1) || name.compare(kRedirectSection, Qt::CaseInsensitive) == 0)
        return {};
    switch (section) {
    case PluginSection::Packer: {
        const qsizetype comma = value.indexOf(','_L1);
        return (comma >= 0 ? value.mid(comma + 1) : value).trimmed();
    }
    case PluginSection::FileSystem:
        return value.trimmed();
    case PluginSection::Lister:
    case PluginSection::Content:
        // The index's detect string ("0_detect"); judged by the key, since a plugin's own path may
        // well contain the word.
        if (name.contains("_detect"_L1, Qt::CaseInsensitive))
            return {};
        return value.trimmed();
    }
    return {};
}

QString resolveTcPath(const System& system, const QString& text, const QString& baseDir) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QString expanded = system.expandTcPath(trimmed);
    const QString host = system.toHostPath(expanded);
    if (!host.isEmpty()) {
        if (QFileInfo::exists(host))
            return host;
        // "%COMMANDER_PATH%\PLUGINS\..." from a Windows-made wincmd.ini: Windows ignores case,
        // and so does the way back through the drive mapping.
        const QString windows = system.toWindowsPath(host);
        const QString matched = windows.isEmpty() ? QString() : system.toHostPath(windows);
        return !matched.isEmpty() && QFileInfo::exists(matched) ? matched : host;
    }
    // A drive the prefix does not know stays unresolved: nothing exists there.
    if (expanded.size() >= 2 && expanded[1] == ':'_L1)
        return {};
    QString relative = expanded;
    relative.replace('\\'_L1, '/'_L1);
    if (QDir::isAbsolutePath(relative))
        return QDir::cleanPath(relative);
    return baseDir.isEmpty() ? QString() : QDir::cleanPath(baseDir + '/'_L1 + relative);
}

PluginSections::PluginSections(const System& system, QString listFile, QString basePath, QString configFile,
                               QString tcDir)
    : m_system(system), m_listFile(std::move(listFile)), m_basePath(std::move(basePath)),
      m_configFile(std::move(configFile)), m_tcDir(std::move(tcDir)), m_list(readIni(m_listFile)) {}

QString PluginSections::resolve(const QString& text) const {
    return resolveTcPath(m_system, text, m_tcDir);
}

QString PluginSections::pluginsDirectory() const {
    const QString value = m_list.value(kConfiguration, u"pluginbasedir"_s).trimmed();
    if (!value.isEmpty()) {
        const QString dir = resolve(value);
        if (!dir.isEmpty())
            return dir;
    }
    return m_tcDir.isEmpty() ? QString() : m_tcDir + "/plugins"_L1;
}

QString PluginSections::sourceFromValue(const QString& value) const {
    if (isBareFileName(value) && !value.contains('%'_L1)) {
        if (QFileInfo::exists(directoryOf(m_configFile) + '/'_L1 + value))
            return directoryOf(m_basePath) + '/'_L1 + value;
        return directoryOf(m_configFile) + '/'_L1 + value;
    }
    return resolveTcPath(m_system, value, directoryOf(m_configFile));
}

QString PluginSections::sourceFile(PluginSection section) const {
    const QString redirect = m_list.value(pluginSectionName(section), kRedirectSection).trimmed();
    if (redirect.isEmpty())
        return m_basePath;
    if (redirect == "1"_L1) {
        const QString alternate = m_list.value(kConfiguration, u"AlternateUserIni"_s).trimmed();
        return alternate.isEmpty() ? m_basePath : sourceFromValue(alternate);
    }
    return sourceFromValue(redirect);
}

QStringList PluginSections::pluginFiles(PluginSection section) const {
    QStringList files;
    const IniDocument source = readIni(sourceFile(section));
    const auto entries = source.entries(pluginSectionName(section));
    for (const auto& [key, value] : entries) {
        const QString text = pluginPathFromLine(section, key, value);
        if (text.isEmpty())
            continue;
        const QString path = resolve(text);
        if (!path.isEmpty() && QFileInfo(path).isFile())
            files.append(path);
    }
    return files;
}

} // namespace quillon
