#pragma once
// Add-ons and utilities in Total Commander's directory: the known add-on files searched for by
// name, and the executables of its utility directories.
#include <QString>
#include <QStringList>

#include <memory>

namespace quillon {

class FileTreeListing;

struct AddonSearchInput {
    QString tcDir;        // host path without trailing "/"; empty when unknown
    QString windowsDir;   // never searched through: a directory that is Windows' own
    QString pluginsDir;   // its name is left out of the utility directories
    QString secondaryDir; // Plugins/SecondaryPlgDir as a host path; empty when unset
    bool forceSecondary = false;
};

// Subdirectories of Total Commander's directory (and the secondary directory) whose
// executables are listed. tree: a listing of Total Commander's tree, asked instead of the disk
// for the folders it read.
QStringList UtilityDirectories(const AddonSearchInput& input, const FileTreeListing* tree = nullptr);

// The known add-ons and every utility executable, unsorted and possibly with duplicates.
// Symbolic links are never followed. wholeTree, when given, receives the listing of Total
// Commander's tree read for the search (none when the search did not read one).
QStringList FindAddonFiles(const AddonSearchInput& input,
                           std::shared_ptr<const FileTreeListing>* wholeTree = nullptr);

// Installers, uninstallers and helpers shipped beside tools: never listed.
bool IsInstallerOrHelper(const QString& fileName);

} // namespace quillon
