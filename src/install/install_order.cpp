#include "install/install_order.h"

#include "install/download_request.h"

namespace quillon {

QString InstallFolderKey(const DownloadRequest& request) {
    QString path = request.ItemPath;
    path.replace(u'\\', u'/');
    const qsizetype slash = path.lastIndexOf(u'/');
    return (slash < 0 ? QString() : path.left(slash)).toLower();
}

InstallOrder::InstallOrder(QStringList folderKeys)
    : m_keys(std::move(folderKeys)), m_steps(m_keys.size(), Step::Running) {}

void InstallOrder::finish(int index, bool withFile) {
    if (index >= 0 && index < m_steps.size() && m_steps.at(index) == Step::Running)
        m_steps[index] = withFile ? Step::Waiting : Step::NothingToInstall;
}

QList<int> InstallOrder::takeReady() {
    QList<int> ready;
    for (int i = 0; i < m_steps.size(); ++i) {
        if (m_steps.at(i) != Step::Waiting)
            continue;
        bool earlierDone = true;
        for (int j = 0; j < i && earlierDone; ++j)
            earlierDone = m_keys.at(j) != m_keys.at(i) || m_steps.at(j) == Step::NothingToInstall ||
                          m_steps.at(j) == Step::HandedOn;
        if (earlierDone) {
            m_steps[i] = Step::HandedOn;
            ready.append(i);
        }
    }
    return ready;
}

} // namespace quillon
