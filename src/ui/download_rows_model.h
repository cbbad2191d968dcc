#pragma once
// The rows of the download window: one per request, with its number, file name, size and
// progress text, coloured by outcome. The window feeds it copies of the transfer's rows on its
// own thread; the model never reads the running transfer.
#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include "install/download_request.h"
#include "install/transfer_engine.h"

namespace quillon {
class Language;
}

namespace quillon::ui {

class DownloadRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { IdColumn, FileColumn, SizeColumn, ProgressColumn, ColumnCount };
    enum class Outcome { Pending, Complete, Installed, Failed };

    struct Row {
        TransferRow transfer;
        QString authorUrl;
        Outcome outcome = Outcome::Pending;
        QString installFailure; // the row's text when its installation was taken back
    };

    explicit DownloadRowsModel(const Language& language, QObject* parent = nullptr);

    // The rows before the transfer starts, numbered as the transfer will number them.
    void setRequests(const DownloadRequestList& requests);
    void updateTransfer(int index, const TransferRow& row);
    // failure: the installation was taken back, and why (the row then fails with that text).
    void setInstalled(int index, bool installed, const QString& failure = {});
    // The request being fetched: it and the rows before it are drawn bold.
    void setCurrent(int index);
    int current() const { return m_current; }
    void setFinished(bool finished);
    bool finished() const { return m_finished; }

    const Row& row(int index) const { return m_rows.at(index); }
    int count() const { return static_cast<int>(m_rows.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Texts again in the current language.
    void retranslate();

private:
    QString progressText(const Row& row) const;
    QString sizeText(const Row& row) const;
    QString tip(const Row& row) const;

    const Language& m_language;
    QList<Row> m_rows;
    int m_current = -1;
    bool m_finished = false;
};

} // namespace quillon::ui
