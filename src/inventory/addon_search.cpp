#include "inventory/addon_search.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <optional>

#include "app/common/files.h"
#include "inventory/exclusion_filter.h"
#include "inventory/installed_version.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

bool sameDirectory(const QString& a, const QString& b) {
    return !a.isEmpty() && ExclusionFilter::comparable(a) == ExclusionFilter::comparable(b);
}

// Recursive searches start here only when it is a real installation directory.
bool searchableTcDir(const AddonSearchInput& input) {
    return !input.tcDir.isEmpty() && QFileInfo(input.tcDir).isDir() &&
           !sameDirectory(input.tcDir, input.windowsDir);
}

// A folder of plugins sorted by kind has a subfolder named after a kind. The first such name
// settles it: a utility folder may hold thousands of files, and none of them needs sorting or
// matching against patterns.
bool holdsPluginKindFolder(const QString& dir, const FileTreeListing* tree) {
    static const QLatin1StringView kPluginKinds[] = {"wcx"_L1, "wdx"_L1, "wfx"_L1, "wlx"_L1};
    const auto isKind = [](const QString& name) {
        return std::any_of(std::begin(kPluginKinds), std::end(kPluginKinds), [&](QLatin1StringView kind) {
            return name.compare(kind, Qt::CaseInsensitive) == 0;
        });
    };
    // The tree read for the add-on search knows the folder's folders already.
    if (const std::optional<QStringList> names = tree ? tree->folderNames(dir) : std::nullopt)
        return std::any_of(names->cbegin(), names->cend(), isKind);
    QDirIterator it(dir, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (isKind(it.fileName()))
            return true;
    }
    return false;
}

// As the file search writes a folder: without separators at the end.
QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && (path.back() == u'/' || path.back() == u'\\'))
        path.chop(1);
    return path;
}

void findRecursive(const QString& dir, const QString& mask, QStringList& found) {
    FindFilesRecursive(dir, mask, true, found);
}

} // namespace

bool IsInstallerOrHelper(const QString& fileName) {
    static const QStringList kNames = {
        u"uninst.exe"_s, u"uninstal.exe"_s, u"uninstall.exe"_s, u"unins000.exe"_s, u"uninst000.exe"_s,
        u"arj32.exe"_s,  u"rearj32.exe"_s,  u"unrar.exe"_s,     u"unzip.exe"_s,    u"config.exe"_s,
        u"subst.exe"_s,  u"setup.exe"_s,    u"instal.exe"_s,    u"install.exe"_s,  u"hxd.exe"_s};
    return kNames.contains(fileName.trimmed(), Qt::CaseInsensitive);
}

QStringList UtilityDirectories(const AddonSearchInput& input, const FileTreeListing* tree) {
    const bool secondarySet = !input.secondaryDir.trimmed().isEmpty();
    if (input.forceSecondary && secondarySet)
        return {input.secondaryDir};

    QStringList dirs;
    if (searchableTcDir(input)) {
        const QString pluginsName = QFileInfo(input.pluginsDir).fileName();
        // Links are left out: a prefix links whole drives, and a user's tree links anywhere.
        const QFileInfoList subdirs =
            QDir(input.tcDir)
                .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                               QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& sub : subdirs) {
            const QString name = sub.fileName();
            if ((!pluginsName.isEmpty() && name.compare(pluginsName, Qt::CaseInsensitive) == 0) ||
                name.compare("language"_L1, Qt::CaseInsensitive) == 0)
                continue;
            // A folder of plugins sorted by kind holds plugins, not utilities.
            if (holdsPluginKindFolder(sub.filePath(), tree))
                continue;
            dirs.append(sub.filePath());
        }
    }
    if (secondarySet && QFileInfo(input.secondaryDir).isDir())
        dirs.append(input.secondaryDir);
    return dirs;
}

QStringList FindAddonFiles(const AddonSearchInput& input, std::shared_ptr<const FileTreeListing>* wholeTree) {
    QStringList found;
    std::shared_ptr<const FileTreeListing> tree;
    if (searchableTcDir(input)) {
        // Four names in the whole tree: read it once.
        tree = std::make_shared<const FileTreeListing>(input.tcDir);
        if (wholeTree)
            *wholeTree = tree;
        QStringList tcMatch;
        tree->findFiles(u"tcmatch.exe"_s, tcMatch);
        found += tcMatch;
        // A script-built tcmatch.exe that notes its version replaces the library.
        const std::optional<QString> scriptVersion =
            tcMatch.isEmpty() ? std::nullopt : ScriptVersion(tcMatch.first());
        if (!scriptVersion || scriptVersion->isEmpty())
            tree->findFiles(u"tcmatch.dll"_s, found);
        tree->findFiles(u"HTTPPlugin.dll"_s, found);
        tree->findFiles(u"TCFS2Tools.dll"_s, found);
    }
    // The utility folders below the installation directory were walked with the tree: their
    // programs are taken from it rather than from a second walk of the disk.
    // The tree's programs by the folder right below the installation directory they are in,
    // each folder's in walk order.
    std::optional<QHash<QString, QStringList>> treePrograms;
    const QString treeRoot = tree ? withoutTrailingSeparators(input.tcDir) : QString();
    const QString rootPrefix = treeRoot.endsWith(u'/') ? treeRoot : treeRoot + u'/';
    const QStringList dirs = UtilityDirectories(input, tree.get());
    for (const QString& dir : dirs) {
        const QString folder = withoutTrailingSeparators(dir);
        const QString name = QFileInfo(folder).fileName();
        const bool inTree = tree && !name.isEmpty() && folder == rootPrefix + name;
        if (!inTree) {
            findRecursive(dir, u"*.exe"_s, found);
            continue;
        }
        if (!treePrograms) {
            treePrograms.emplace();
            QStringList programs;
            tree->findFiles(u"*.exe"_s, programs);
            for (const QString& path : std::as_const(programs)) {
                const qsizetype slash =
                    path.startsWith(rootPrefix) ? path.indexOf(u'/', rootPrefix.size()) : -1;
                if (slash > rootPrefix.size())
                    (*treePrograms)[path.sliced(rootPrefix.size(), slash - rootPrefix.size())].append(path);
            }
        }
        const QStringList programs = treePrograms->value(name);
        // Nothing under the folder: the tree may have passed it over as a folder already seen
        // through a link, so the disk decides.
        if (programs.isEmpty())
            findRecursive(dir, u"*.exe"_s, found);
        else
            found += programs;
    }
    return found;
}

} // namespace quillon
