#include "ui/download_rows_model.h"

#include <QColor>
#include <QFileInfo>
#include <QFont>

#include <algorithm>

#include "app/common/dates.h"
#include "ui/ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

DownloadRowsModel::DownloadRowsModel(const Language& language, QObject* parent)
    : QAbstractTableModel(parent), m_language(language) {}

void DownloadRowsModel::setRequests(const DownloadRequestList& requests) {
    beginResetModel();
    m_rows.clear();
    const DownloadRequestList kept = RemoveDuplicateRequests(requests);
    const int total = static_cast<int>(kept.size());
    for (int i = 0; i < total; ++i) {
        Row row;
        row.transfer.id = RequestId(i, total);
        row.transfer.fileName = QFileInfo(kept.at(i).LocalArchive).completeBaseName();
        row.transfer.url = kept.at(i).Url;
        row.authorUrl = kept.at(i).AuthorUrl;
        m_rows.append(row);
    }
    m_current = -1;
    m_finished = false;
    endResetModel();
}

void DownloadRowsModel::updateTransfer(int index, const TransferRow& transfer) {
    // The rows keep the transfer's order (a sorted view sorts a proxy), so index is the row.
    if (index < 0 || index >= count())
        return;
    Row& row = m_rows[index];
    row.transfer = transfer;
    if (transfer.state == TransferState::Done && row.outcome == Outcome::Pending)
        row.outcome = Outcome::Complete;
    else if (transfer.state == TransferState::Failed || transfer.state == TransferState::Cancelled)
        row.outcome = Outcome::Failed;
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void DownloadRowsModel::setInstalled(int index, bool installed, const QString& failure) {
    if (index < 0 || index >= count() || (!installed && failure.isEmpty()))
        return;
    m_rows[index].outcome = installed ? Outcome::Installed : Outcome::Failed;
    m_rows[index].installFailure = installed ? QString() : failure;
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void DownloadRowsModel::setCurrent(int index) {
    if (index == m_current)
        return;
    // Only the rows between the former and the new current one change their font: a change
    // over every row makes the view measure every row again.
    const int first = std::max(0, std::min(index, m_current) + 1);
    const int last = std::min(count() - 1, std::max(index, m_current));
    m_current = index;
    if (first <= last)
        emit dataChanged(this->index(first, 0), this->index(last, ColumnCount - 1), {Qt::FontRole});
}

void DownloadRowsModel::setFinished(bool finished) {
    m_finished = finished;
    if (count() > 0)
        emit dataChanged(this->index(0, 0), this->index(count() - 1, ColumnCount - 1), {Qt::FontRole});
}

int DownloadRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int DownloadRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString DownloadRowsModel::progressText(const Row& row) const {
    switch (row.outcome) {
    case Outcome::Installed:
        return uiText(m_language, "CaptionsDownload", "Progress_02", "Installed");
    case Outcome::Failed:
        if (!row.installFailure.isEmpty())
            return row.installFailure;
        return uiText(m_language, "ErrorMessages", "CaptionError", "Error");
    case Outcome::Complete:
        return u"100%"_s;
    case Outcome::Pending:
        break;
    }
    return QString::number(row.transfer.percent) + u'%';
}

QString DownloadRowsModel::sizeText(const Row& row) const {
    if (row.outcome == Outcome::Failed)
        return u" - "_s;
    if (row.transfer.size < 0)
        return uiText(m_language, "CaptionsDownload", "RetrieveInfo", "- retrieving -");
    return FormatByteSize(static_cast<quint32>(std::min<qint64>(row.transfer.size, 0xFFFFFFFFLL)));
}

QString DownloadRowsModel::tip(const Row& row) const {
    if (!row.installFailure.isEmpty())
        return row.installFailure;
    if (row.outcome == Outcome::Failed) {
        QString text = uiText(m_language, "ErrorMessages", "DownloadError_01",
                              "Error: The file is not available on the server (possibly an invalid page / "
                              "unmanageable redirection).");
        if (!row.transfer.error.isEmpty())
            text += u" ("_s + row.transfer.error + u')';
        return text + u"\n\n"_s +
               uiText(m_language, "Hints", "DoubleClckDownload",
                      "Double-click on an item do open its download link in the browser...");
    }
    if (row.transfer.percent == 0 && row.outcome == Outcome::Pending)
        return {};
    return row.transfer.localPath;
}

QVariant DownloadRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case IdColumn:
            return row.transfer.id;
        case FileColumn:
            return row.transfer.fileName;
        case SizeColumn:
            return sizeText(row);
        case ProgressColumn:
            return progressText(row);
        default:
            return {};
        }
    case Qt::ForegroundRole:
        if (index.column() != ProgressColumn)
            return {};
        if (row.outcome == Outcome::Failed)
            return QColor(249, 44, 28);
        if (row.outcome == Outcome::Complete || row.outcome == Outcome::Installed)
            return QColor(29, 161, 29);
        return QColor(128, 128, 128);
    case Qt::FontRole: {
        QFont font;
        font.setBold(m_finished || row.transfer.id.toInt() <= m_current + 1);
        return font;
    }
    case Qt::ToolTipRole:
        return tip(row);
    default:
        return {};
    }
}

QVariant DownloadRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case IdColumn:
        return uiText(m_language, "CaptionsDownload", "DLList_ID", "ID");
    case FileColumn:
        return uiText(m_language, "CaptionsDownload", "DLList_FileName", "Filename");
    case SizeColumn:
        return uiText(m_language, "CaptionsDownload", "DLList_Size", "Size");
    case ProgressColumn:
        return uiText(m_language, "CaptionsDownload", "DLList_Progress", "Progress");
    default:
        return {};
    }
}

void DownloadRowsModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (count() > 0)
        emit dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
}

} // namespace quillon::ui
