#include "update_page.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/settings.h"
#include "clipboard_text.h"
#include "inventory/row_copy_text.h"
#include "inventory/update_list.h"
#include "quick_search_strip.h"
#include "ui_text.h"
#include "update_list_model.h"
#include "update_list_view.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

UpdatePage::UpdatePage(const UpdatePageParts& parts, QWidget* parent) : QWidget(parent), m_parts(parts) {
    setObjectName(u"TabUpdate"_s);
    m_model = new UpdateListModel(this);
    UpdateList = new UpdateListView(this);
    UpdateList->setObjectName(u"UpdateList"_s);
    UpdateList->setModel(m_model);
    UpdateList->setColumnHidden(UpdateListModel::PathColumn, true);
    UpdateList->setContextMenuPolicy(Qt::CustomContextMenu);
    UpdateList->setKeyHandler([this](QKeyEvent* event) { return UpdateListKeyDown(event); });
    UpdateList->header()->setSectionResizeMode(QHeaderView::Interactive);
    // The names take what the window gives: a wide window shows them whole.
    UpdateList->header()->setSectionResizeMode(UpdateListModel::NameColumn, QHeaderView::Stretch);

    rb_All = new QRadioButton(this);
    rb_Updatable = new QRadioButton(this);
    rb_Unknown = new QRadioButton(this);
    rb_All->setObjectName(u"rb_All"_s);
    rb_Updatable->setObjectName(u"rb_Updatable"_s);
    rb_Unknown->setObjectName(u"rb_Unknown"_s);
    lbl_TotalUpdateNum = new QLabel(this);
    lbl_TotalUpdateNum->setObjectName(u"lbl_TotalUpdateNum"_s);
    m_search = new QuickSearchStrip(this);

    auto* filters = new QHBoxLayout;
    filters->addWidget(rb_All);
    filters->addStretch(1);
    filters->addWidget(rb_Unknown);
    filters->addStretch(1);
    filters->addWidget(rb_Updatable);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(UpdateList, 1);
    layout->addWidget(m_search);
    layout->addLayout(filters);
    layout->addWidget(lbl_TotalUpdateNum);

    connect(rb_All, &QRadioButton::clicked, this, [this] {
        if (!m_settingFilter)
            rb_AllClick();
    });
    connect(rb_Updatable, &QRadioButton::clicked, this, [this] {
        if (!m_settingFilter)
            rb_UpdatableClick();
    });
    connect(rb_Unknown, &QRadioButton::clicked, this, [this] {
        if (!m_settingFilter)
            rb_UnknownClick();
    });
    connect(m_model, &UpdateListModel::markToggled, this, [this](int row, bool checked) {
        quillon::UpdateList& list = m_parts.list;
        list.setChecked(row, checked);
        list.updateSnapshotRow(list.row(row).FilePath, row);
        recount();
        emit marksChanged();
    });
    connect(UpdateList, &QTreeView::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (currentRow() >= 0 || !selectedRows().isEmpty())
            emit contextMenuRequested(UpdateList->viewport()->mapToGlobal(pos));
    });
    connect(UpdateList, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_model->coreRow(index) >= 0)
            emit commandRequested(ListCommand::ItemInformation);
    });
    connect(m_search, &QuickSearchStrip::textChanged, this, &UpdatePage::quickSearchChanged);
    connect(m_search, &QuickSearchStrip::closed, this, &UpdatePage::quickSearchClosed);
}

void UpdatePage::retranslate() {
    const Language& lng = m_parts.language;
    m_model->setCaptions(
        {uiText(lng, "CaptionsMainFrm", "Update_Name", "Name"),
         uiText(lng, "CaptionsMainFrm", "Update_InstalledVer", "Installed"),
         uiText(lng, "CaptionsMainFrm", "Update_LatestVer", "Latest"),
         uiText(lng, "CaptionsMainFrm", "Update_Note", "Update / Status"), u"Path"_s},
        {{u"Total Commander"_s,
          uiText(lng, "CaptionsMainFrm", "UpdateList_grp_TC_s", "The ultimate file manager.")},
         {uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wcx_h", "Packer plugins (.wcx)"),
          uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wcx_s",
                 "Used to open archives not supported internally by Total Commander.")},
         {uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wfx_h", "File system plugins (.wfx)"),
          uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wfx_s",
                 "Allow access to disks inaccessible by Windows (Linux file systems, etc).")},
         {uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wlx_h", "Lister plugins (.wlx)"),
          uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wlx_s",
                 "Allow to display file formats (like images, spreadsheets, etc) in Lister.")},
         {uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wdx_h", "Content plugins (.wdx)"),
          uiText(lng, "CaptionsMainFrm", "UpdateList_grp_wdx_s",
                 "Allow to display extended file details like mp3 tags or image attributes.")},
         {uiText(lng, "CaptionsMainFrm", "UpdateList_grp_oth_h", "Other addons (DLL, utility, etc)"),
          uiText(lng, "CaptionsMainFrm", "UpdateList_grp_oth_s",
                 "The addons which doesn't fits the above categories...")},
         {u"Quillon"_s, uiText(lng, "CaptionsMainFrm", "UpdateList_grp_QN_s",
                               "Currently running instance of the updater application.")}});
    m_search->setCaption(uiText(lng, "CaptionsMainFrm", "SearchItem", "Search:"));
    if (!m_busy) {
        // Rows carry their status text: they are made again in the new language.
        quillon::UpdateList& list = m_parts.list;
        QList<SnapshotLine> rows;
        for (const UpdateItem& item : list.rows())
            rows.append(SnapshotLine::fromItem(item, list.statusTexts()));
        list.setStatusTexts({lng.statusOk(), lng.statusUpdate(), lng.statusUnknown()});
        showLines(rows);
        recount();
    }
}

void UpdatePage::showEvent(QShowEvent* event) {
    // The Configuration page may have switched the icons since the list was last shown.
    m_model->setShowIcons(m_parts.settings.showPlugIcons);
    QWidget::showEvent(event);
}

void UpdatePage::reloadFromCore() {
    m_model->setShowIcons(m_parts.settings.showPlugIcons);
    if (m_model->refreshContents(m_parts.list))
        return;
    const QList<int> selected = selectedRows();
    m_model->reload(m_parts.list);
    UpdateList->arrangeGroups();
    selectRows(selected);
}

void UpdatePage::setStatusNote(const QString& filePath, const QString& note) {
    m_model->setStatusNote(filePath, note);
}

void UpdatePage::refreshRows(const QList<int>& rows) {
    const quillon::UpdateList& list = m_parts.list;
    // A list of another shape (a reload meanwhile) is shown again whole, keeping the selection.
    if (list.rowCount() != m_model->rowCountTotal())
        return reloadFromCore();
    for (const int row : rows)
        m_model->refreshRow(list, row);
}

void UpdatePage::setBusy(bool busy) {
    m_busy = busy;
    m_model->setReadOnly(busy);
    if (busy && m_search->isVisible())
        m_search->hide();
}

QList<int> UpdatePage::selectedRows() const {
    QList<int> rows;
    const QModelIndexList indexes = UpdateList->selectionModel()->selectedRows(0);
    for (const QModelIndex& index : indexes) {
        if (const int row = m_model->coreRow(index); row >= 0)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int UpdatePage::currentRow() const {
    return m_model->coreRow(UpdateList->currentIndex());
}

void UpdatePage::selectRow(int row) {
    selectRows({row});
}

void UpdatePage::selectRows(const QList<int>& rows) {
    QItemSelection selection;
    QModelIndex last;
    for (const int row : rows) {
        const QModelIndex first = m_model->indexOfRow(row, 0);
        if (!first.isValid())
            continue;
        selection.select(first, m_model->indexOfRow(row, UpdateListModel::ColumnCount - 1));
        last = first;
    }
    if (!last.isValid())
        return;
    UpdateList->selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
    UpdateList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    UpdateList->scrollTo(last);
}

void UpdatePage::recount() {
    if (m_busy)
        return;
    const CheckCounters counters = CountCheckedItems(m_parts.list, m_parts.language, m_parts.checkState);
    lbl_TotalUpdateNum->setText(counters.checkedLabel);
    rb_All->setText(counters.allCaption);
    rb_Updatable->setText(counters.updatableCaption);
    rb_Unknown->setText(counters.unknownCaption);
    emit countersChanged(counters);
}

void UpdatePage::setFilterSilently(ItemFilter filter, bool none) {
    m_settingFilter = true;
    const bool exclusive = !none;
    for (QRadioButton* button : {rb_All, rb_Updatable, rb_Unknown})
        button->setAutoExclusive(exclusive);
    rb_All->setChecked(!none && filter == ItemFilter::All);
    rb_Updatable->setChecked(!none && filter == ItemFilter::Updatable);
    rb_Unknown->setChecked(!none && filter == ItemFilter::Unknown);
    for (QRadioButton* button : {rb_All, rb_Updatable, rb_Unknown})
        button->setAutoExclusive(true);
    m_settingFilter = false;
}

void UpdatePage::applySavedFilter() {
    const ItemFilter filter = itemFilterFromSetting(m_parts.settings.showItemType);
    if (filter == ItemFilter::All) {
        setFilterSilently(ItemFilter::All);
        m_filterActive = false;
        recount();
        return;
    }
    applyFilter(filter);
}

void UpdatePage::setFiltersEnabled(bool enabled) {
    for (QRadioButton* button : {rb_All, rb_Updatable, rb_Unknown})
        button->setEnabled(enabled);
}

void UpdatePage::showLines(const QList<SnapshotLine>& lines) {
    m_parts.list.restoreFromSnapshot(lines);
    reloadFromCore();
}

void UpdatePage::applyFilter(ItemFilter filter) {
    if (m_busy)
        return;
    m_parts.settings.showItemType = static_cast<int>(filter);
    m_filterActive = filter != ItemFilter::All;
    setFilterSilently(filter);
    showLines(filterSnapshotLines(m_parts.list.snapshot().lines(), filter));
    if (UpdateList->isVisible())
        UpdateList->setFocus();
    recount();
}

void UpdatePage::rb_AllClick() {
    applyFilter(ItemFilter::All);
}

void UpdatePage::rb_UpdatableClick() {
    applyFilter(ItemFilter::Updatable);
}

void UpdatePage::rb_UnknownClick() {
    applyFilter(ItemFilter::Unknown);
}

void UpdatePage::changeMarks(const std::function<bool(int, bool)>& newMark, bool needsTwoRows) {
    quillon::UpdateList& list = m_parts.list;
    if (m_busy || list.rowCount() < (needsTwoRows ? 2 : 1))
        return;
    for (int row = 0; row < list.rowCount(); ++row) {
        const bool checked = newMark(row, list.row(row).Checked);
        if (checked != list.row(row).Checked) {
            list.setChecked(row, checked);
            list.updateSnapshotRow(list.row(row).FilePath, row);
            m_model->refreshRow(list, row);
        }
    }
    recount();
    emit marksChanged();
}

void UpdatePage::Markall1Click() {
    changeMarks([](int, bool) { return true; });
}

void UpdatePage::Unmarkall1Click() {
    changeMarks([](int, bool) { return false; });
}

void UpdatePage::Invertmarks1Click() {
    changeMarks([](int, bool checked) { return !checked; });
}

void UpdatePage::Reselectupdatable1Click() {
    const quillon::UpdateList& list = m_parts.list;
    changeMarks([&list](int row, bool) { return list.state(row) != ItemState::Ok; });
}

void UpdatePage::setSelectedMarks(bool checked) {
    const QList<int> rows = selectedRows();
    changeMarks([&rows, checked](int row, bool old) { return rows.contains(row) ? checked : old; }, false);
}

void UpdatePage::JumpToUpdatable(bool forward, bool fromStart) {
    const quillon::UpdateList& list = m_parts.list;
    if (list.countInState(ItemState::Update) == 0)
        return;
    int start = std::max(currentRow(), 0);
    if (fromStart) {
        start = 0;
    } else if (forward ? start + 1 < list.rowCount() : start > 0) {
        start += forward ? 1 : -1;
    }
    for (int row = start; forward ? row < list.rowCount() : row >= 0; row += forward ? 1 : -1) {
        if (list.state(row) == ItemState::Update) {
            selectRow(row);
            return;
        }
    }
}

void UpdatePage::copySelection(bool withChecksum) {
    QList<UpdateItem> rows;
    for (const int row : selectedRows())
        rows.append(m_parts.list.row(row));
    if (!rows.isEmpty())
        QApplication::clipboard()->setText(
            clipboardText(rowsCopyText(rows, m_parts.list.statusTexts(), withChecksum)));
}

void UpdatePage::copyChecksumEntries() {
    QList<UpdateItem> rows;
    for (const int row : selectedRows())
        rows.append(m_parts.list.row(row));
    if (!rows.isEmpty())
        QApplication::clipboard()->setText(clipboardText(checksumEntriesText(rows)));
}

bool UpdatePage::UpdateListKeyDown(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    const int key = event->key();
    const bool haveRows = m_parts.list.rowCount() > 0;
    const bool haveSelection = !selectedRows().isEmpty();

    // The keyboard's ways to the context menu, under the current row.
    if ((key == Qt::Key_F10 && mods == Qt::ShiftModifier) ||
        (key == Qt::Key_Menu && mods == Qt::NoModifier)) {
        if (haveSelection) {
            const QRect rect = UpdateList->visualRect(UpdateList->currentIndex());
            emit contextMenuRequested(
                UpdateList->viewport()->mapToGlobal(rect.isValid() ? rect.center() : QPoint(0, 0)));
        }
        return true;
    }

    struct CommandKey {
        bool modifiersMatch;
        int key;
        ListCommand command;
    };
    const CommandKey commandKeys[] = {
        {ctrl, Qt::Key_PageDown, ListCommand::JumpToFiles},
        {ctrl, Qt::Key_Up, ListCommand::JumpToFilesNewTab},
        {ctrl, Qt::Key_D, ListCommand::Download},
        {ctrl, Qt::Key_I, ListCommand::DownloadInstall},
        {ctrlShift, Qt::Key_D, ListCommand::SendToDownloadManager},
        {ctrl, Qt::Key_Q, ListCommand::ToggleInfoWindow},
        {ctrl, Qt::Key_X, ListCommand::ExcludeFile},
        {ctrl, Qt::Key_Z, ListCommand::DatabaseEntry},
        {ctrlShift, Qt::Key_W, ListCommand::OpenWebPages},
        {ctrlShift, Qt::Key_A, ListCommand::OpenAuthorPages},
        {mods == Qt::AltModifier, Qt::Key_Return, ListCommand::ItemInformation},
        {mods == Qt::AltModifier, Qt::Key_Enter, ListCommand::ItemInformation},
        {mods == Qt::NoModifier, Qt::Key_F2, ListCommand::RefreshItem},
    };
    for (const CommandKey& entry : commandKeys) {
        if (entry.modifiersMatch && key == entry.key) {
            if (m_busy)
                return true;
            emit commandRequested(entry.command);
            return true;
        }
    }
    if (ctrl && key == Qt::Key_A) {
        UpdateList->selectAll();
        return true;
    }
    if (ctrl && keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus)) {
        setSelectedMarks(key == Qt::Key_Plus);
        return true;
    }
    if (mods == Qt::NoModifier && (key == Qt::Key_Right || key == Qt::Key_Left)) {
        JumpToUpdatable(key == Qt::Key_Right, false);
        return true;
    }
    if (mods == Qt::NoModifier && key == Qt::Key_Space && haveSelection && !m_busy) {
        const QList<int> rows = selectedRows();
        const bool check = !m_parts.list.row(rows.first()).Checked;
        setSelectedMarks(check);
        return true;
    }
    if ((ctrl || ctrlShift) && key == Qt::Key_C && haveRows && haveSelection) {
        copySelection(ctrlShift);
        return true;
    }
    if (ctrl && key == Qt::Key_G && haveRows && haveSelection) {
        copyChecksumEntries();
        return true;
    }
    return false;
}

void UpdatePage::startQuickSearch() {
    if (m_busy)
        return;
    if (m_filterBeforeSearch < 0)
        m_filterBeforeSearch = m_parts.settings.showItemType;
    m_parts.settings.showItemType = 0;
    if (!m_filterActive)
        m_parts.list.takeSnapshot();
    setFilterSilently(ItemFilter::All, true);
    setFiltersEnabled(false);
    m_search->open();
}

bool UpdatePage::quickSearchOpen() const {
    return m_search->isVisible();
}

void UpdatePage::quickSearchChanged(const QString& text) {
    if (m_busy)
        return;
    m_filterActive = !text.trimmed().isEmpty();
    const QList<SnapshotLine>& all = m_parts.list.snapshot().lines();
    showLines(quickSearchLines(all, text));
    recount();
    // A blank list would look like a broken one: say what the narrowing left.
    const int shown = m_parts.list.rowCount();
    Placeholders counts;
    counts.s1 = QString::number(shown);
    counts.s2 = QString::number(all.size());
    m_search->setResult(
        !m_filterActive ? QString()
        : shown == 0
            ? uiText(m_parts.language, "CaptionsMainFrm", "SearchNoMatch", "No match")
            : m_parts.language.format(u"CaptionsMainFrm"_s, u"SearchShown"_s, u"%s1 of %s2 shown"_s, counts));
}

void UpdatePage::quickSearchClosed() {
    setFiltersEnabled(true);
    // Closed without narrowing: the filter that was on before is on again.
    if (m_search->text().trimmed().isEmpty())
        restoreFilterBeforeSearch();
    if (currentRow() < 0 && m_parts.list.rowCount() > 0)
        selectRow(0);
    UpdateList->setFocus();
}

bool UpdatePage::endNarrowing() {
    if (!m_filterActive && !m_search->isVisible())
        return false;
    {
        const QSignalBlocker blocker(m_search);
        m_search->clearText();
    }
    m_search->hide();
    setFiltersEnabled(true);
    m_filterActive = false;
    showLines(m_parts.list.snapshot().lines());
    if (m_filterBeforeSearch >= 0)
        restoreFilterBeforeSearch();
    else
        applySavedFilter();
    return true;
}

void UpdatePage::restoreFilterBeforeSearch() {
    if (m_filterBeforeSearch < 0)
        return;
    m_parts.settings.showItemType = m_filterBeforeSearch;
    m_filterBeforeSearch = -1;
    applySavedFilter();
}

} // namespace quillon::ui
