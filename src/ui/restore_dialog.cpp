#include "restore_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "backup_list_model.h"
#include "ui_text.h"

namespace quillon::ui {

TRestoreBackup::TRestoreBackup(const Language& language, const QString& itemFile,
                               QList<BackupArchive> backups, QWidget* parent)
    : QDialog(parent), m_language(language), m_itemFile(itemFile),
      m_model(new BackupListModel(std::move(backups), language, this)), m_intro(new QLabel(this)),
      m_view(new QTreeView(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      m_restore(m_buttons->button(QDialogButtonBox::Ok)) {
    setObjectName(QStringLiteral("RestoreBackup"));
    m_intro->setWordWrap(true);
    m_view->setObjectName(QStringLiteral("Backups"));
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_intro);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_restore->setEnabled(!chosenArchive().isEmpty()); });
    connect(m_view, &QTreeView::doubleClicked, this, [this] {
        if (!chosenArchive().isEmpty())
            accept();
    });
    choose(0);
    m_restore->setEnabled(!chosenArchive().isEmpty());
    retranslate();
    resize(560, 260);
}

QString TRestoreBackup::chosenArchive() const {
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : m_model->backupAt(rows.first().row()).path;
}

void TRestoreBackup::choose(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_view->selectionModel()->select(m_model->index(row, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->setCurrentIndex(m_model->index(row, 0));
}

void TRestoreBackup::retranslate() {
    setWindowTitle(uiText(m_language, "CaptionsRestore", "Caption", "Restore previous version"));
    m_intro->setText(m_language.format(QStringLiteral("CaptionsRestore"), QStringLiteral("Intro"),
                                       QStringLiteral("Backups of %s:"),
                                       Placeholders{QDir::toNativeSeparators(m_itemFile), {}, {}}));
    m_restore->setText(uiText(m_language, "CaptionsRestore", "BtnRestore", "Restore"));
    m_buttons->button(QDialogButtonBox::Cancel)
        ->setText(uiText(m_language, "Buttons", "BtnCancel", "Cancel"));
    m_model->retranslate();
}

} // namespace quillon::ui
