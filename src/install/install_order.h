#pragma once
// When a finished download may be installed while other transfers still run: one folder's
// packages in request order (a later, smaller package that arrives first waits for the earlier
// one), different folders independently.
#include <QList>
#include <QString>
#include <QStringList>

namespace quillon {

struct DownloadRequest;

// The folder a request installs into, as the order compares it: the item's folder, separators
// and letter case as Windows ignores them.
QString InstallFolderKey(const DownloadRequest& request);

class InstallOrder {
public:
    explicit InstallOrder(QStringList folderKeys);

    // The request's transfer ended; withFile: it left a file to install.
    void finish(int index, bool withFile);
    // The finished files whose turn has come, in request order; each is returned once.
    QList<int> takeReady();

private:
    enum class Step { Running, NothingToInstall, Waiting, HandedOn };
    QStringList m_keys;
    QList<Step> m_steps;
};

} // namespace quillon
