#pragma once
// The four plugin sections of wincmd.ini (or of a manually given list file): where each is
// read from (RedirectSection, AlternateUserIni), the plugins directory, and the plugin paths
// their lines name.
#include <QString>
#include <QStringList>

#include <array>

#include "app/ini_document.h"
#include "inventory/update_item.h"

namespace quillon {

class System;

enum class PluginSection { Packer, FileSystem, Lister, Content };
inline constexpr std::array<PluginSection, 4> kPluginSections{
    PluginSection::Packer, PluginSection::FileSystem, PluginSection::Lister, PluginSection::Content};

QString pluginSectionName(PluginSection section); // "PackerPlugins", ...
ItemGroup pluginSectionGroup(PluginSection section);
// The mask the plugins directory is searched with: "*.wcx*", ...
QString pluginSectionMask(PluginSection section);

// The plugin path a line names, unexpanded and trimmed; empty for lines that name none (the
// "_detect" strings of lister and content plugins, RedirectSection, comments).
QString pluginPathFromLine(PluginSection section, const QString& key, const QString& value);

// Text from Total Commander's world as a host path: variables expanded with Total Commander's
// environment, a Windows path mapped into the prefix, a relative path taken from baseDir.
QString resolveTcPath(const System& system, const QString& text, const QString& baseDir);

class PluginSections {
public:
    // listFile: the file whose Configuration and RedirectSection keys count (the manual list or
    // wincmd.ini); basePath: the file the sections default to; configFile: wincmd.ini in use.
    PluginSections(const System& system, QString listFile, QString basePath, QString configFile,
                   QString tcDir);

    // Configuration/pluginbasedir of the list file, else Total Commander's "plugins" directory.
    QString pluginsDirectory() const;
    // The file that holds the section.
    QString sourceFile(PluginSection section) const;
    // The existing files the section names, host paths, in file order.
    QStringList pluginFiles(PluginSection section) const;

private:
    QString resolve(const QString& text) const;
    // A bare file name that exists beside wincmd.ini is taken from the base path's directory.
    QString sourceFromValue(const QString& value) const;

    const System& m_system;
    QString m_listFile;
    QString m_basePath;
    QString m_configFile;
    QString m_tcDir;
    IniDocument m_list;
};

} // namespace quillon
