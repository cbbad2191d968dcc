#pragma once
// Installed versions read from the text files plugins ship: a history, change log or read-me
// next to the plugin file, scanned for the first thing that looks like a version number.
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "app/common/files.h"

namespace quillon {

// The masks tried in order when no version file is named; the first that finds a file wins.
// stem is the plugin's file name without extension.
QStringList versionFileMasks(const QString& stem);
// The same without the first, which names the plugin.
const QStringList& namelessVersionFileMasks();

// The dated search results of one inventory pass: every directory tree is read once and every
// mask matched once against it. Files written after a tree was read stay unseen, so an instance
// must not outlive the pass that made it.
class TextFileSearchCache {
public:
    // FindFilesRecursive(directory, mask, true, list, true), from the pass's snapshot.
    const QStringList& datedMatches(const QString& directory, const QString& mask);
    // A listing the pass read already (Total Commander's whole tree): the directories below it
    // are cut from it instead of read again.
    // The matches of the first of namelessVersionFileMasks that has any.
    const QStringList& firstNamelessMatches(const QString& directory);
    void offerTree(std::shared_ptr<const FileTreeListing> tree) { m_wholeTree = std::move(tree); }

private:
    std::shared_ptr<const FileTreeListing> m_wholeTree;
    QHash<QString, std::shared_ptr<const FileTreeListing>> m_trees;
    QHash<QString, QStringList> m_matches; // directory + NUL + mask
    QHash<QString, QStringList> m_firstNameless;
};

// Text files in directory and below that may hold the version, newest first (modification
// day, then path, both descending, letter case ignored). With a versionFile mask its matches,
// when it has any; otherwise the matches of the first of versionFileMasks that has any.
// With a cache, the directory is read through it.
QStringList FindVersionTextFiles(const QString& directory, const QString& stem, const QString& versionFile,
                                 TextFileSearchCache* cache = nullptr);

// Position of the first digit of the first version-like text, the lowest position winning;
// "1.2" alone counts only in a history file, elsewhere it needs "v", "version", "plugin" or
// a blank before it. No value when nothing matches.
std::optional<qsizetype> FindVersionStart(const QString& text, bool historyFile);

// The version starting at start: at most 8 characters, cut at the first line end or blank
// ("_" counts as a blank), reduced to ".", digits and ASCII letters.
QString ExtractVersionAt(const QString& text, qsizetype start);

// FindVersionStart and ExtractVersionAt; empty when nothing matches, and for "6.5", "6.50" and
// "7.0", which are the Total Commander versions read-me files name as a requirement.
QString ScanTextForVersion(const QString& text, bool historyFile);

struct TextFileVersion {
    QString version;  // empty when no file gave one
    QString filePath; // the file that was read, when one was found
};

// The whole search: the newest candidate is read and scanned; the others are not consulted.
TextFileVersion VersionFromTextFiles(const QString& directory, const QString& stem,
                                     const QString& versionFile, TextFileSearchCache* cache = nullptr);

} // namespace quillon
