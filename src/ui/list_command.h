#pragma once
// Commands of the update list that the main window carries out: they reach beyond the list
// (Total Commander, the browser, the download side, other windows).
namespace quillon::ui {

enum class ListCommand {
    JumpToFiles,
    JumpToFilesNewTab,
    Download,
    DownloadInstall,
    SendToDownloadManager,
    ToggleInfoWindow,
    ExcludeFile,
    DatabaseEntry,
    OpenWebPages,
    OpenAuthorPages,
    ItemInformation, // double click, Alt+Enter
    RefreshItem,
};

} // namespace quillon::ui
