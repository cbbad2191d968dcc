#pragma once
// The settings that choose a way of working, as named values. Each keeps the number the settings
// file holds (the Windows program writes the same numbers), and a number outside the named ones,
// from a hand-edited file, is kept as it is and means what the file's reader makes of it.
namespace quillon {

// Plugins/DetectionMode: where the installed plugins are listed. Any other number lists none.
enum class PluginDetection : int { ConfigFile = 0, PluginsDirectory = 1, ManualFile = 2 };

// Plugins/ChecksumDBstate: how the checksum database names a file's version.
enum class ChecksumDbUse : int {
    Off = 0,        // never (Total Commander's own build neither)
    LastResort = 1, // only when neither the file nor a text file beside it gave a version
    First = 2,      // before the text files, over the version resource
};

// Configuration/PreInstallAction: which replaced files go into the backup first.
enum class BackupBeforeInstall : int { None = 0, Every = 1, TextFilesOnly = 2 };

// Configuration/PostInstallAction: flags of what is cleaned up after an installation; a number
// outside 0..7 does nothing.
enum class AfterInstall : int {
    Nothing = 0,
    DeletePackage = 1,
    DeleteInstallInfo = 2,
    DeleteOtherBitness = 4
};
inline bool hasAction(AfterInstall actions, AfterInstall action) {
    const int value = static_cast<int>(actions);
    return value >= 0 && value <= 7 && (value & static_cast<int>(action)) != 0;
}

// Total Commander/DownloadPackage: which of Total Commander's packages is downloaded.
enum class PackageChoice : int { Unified = 0, X86 = 1, X64 = 2 };

template <typename Mode> constexpr int modeNumber(Mode mode) {
    return static_cast<int>(mode);
}

} // namespace quillon
