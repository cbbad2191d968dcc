#include "install/post_install_load_check.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/atomic_file.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

bool isPluginFile(const QString& path) {
    return platform::isPluginFileName(QFileInfo(path).fileName().toStdString());
}

} // namespace

PostInstallLoadCheck::PostInstallLoadCheck(platform::PluginLoadCheck* check, QString keepFolder)
    : m_check(check && check->live() ? check : nullptr), m_keepFolder(std::move(keepFolder)) {}

void PostInstallLoadCheck::keepPrevious(const QStringList& targets) {
    if (!m_check)
        return;
    for (const QString& target : targets) {
        if (!isPluginFile(target) || !QFileInfo(target).isFile() || m_kept.contains(target))
            continue;
        // Numbered folders: two targets of one package may share a file name.
        const QString kept = m_keepFolder + u'/' + QString::number(m_kept.size()) + u"/previous/"_s +
                             QFileInfo(target).fileName();
        // A previous file that cannot be kept cannot be put back: that plugin is not checked.
        if (QDir().mkpath(QFileInfo(kept).absolutePath()) && CopyFileAtomically(target, kept))
            m_kept.insert(target, kept);
    }
}

QList<LoadRollback> PostInstallLoadCheck::verify(const QStringList& copied, const std::atomic_bool* cancel) {
    QList<LoadRollback> rolledBack;
    if (!m_check)
        return rolledBack;
    for (const QString& target : copied) {
        const auto kept = m_kept.constFind(target);
        if (kept == m_kept.cend() || (cancel && cancel->load()))
            continue;
        const platform::PluginLoadResult fresh = m_check->check(target.toStdString(), cancel);
        if (!fresh.broken())
            continue;
        // The previous file is tried where it lived, so that it finds the DLLs beside it; the
        // new one waits in the scratch folder until it is known which of the two stays.
        const QString newCopy =
            QFileInfo(*kept).absolutePath() + u"/../new/"_s + QFileInfo(target).fileName();
        if (!QDir().mkpath(QFileInfo(newCopy).absolutePath()) || !CopyFileAtomically(target, newCopy) ||
            !CopyFileAtomically(*kept, target))
            continue;
        // When the new file cannot even be put back, the update is not in place either.
        if (m_check->check(target.toStdString(), cancel).loads() || !CopyFileAtomically(newCopy, target))
            rolledBack.append({target, fresh});
    }
    return rolledBack;
}

} // namespace quillon
