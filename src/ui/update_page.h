#pragma once
// The update list page: the grouped list, the three filters with their counts, the marked-rows
// label and the quick search strip; the marking, selection and copy commands of the list.
// Commands that reach beyond the list are handed to the main window.
#include <QWidget>

#include "engine/check_run.h"
#include "inventory/snapshot_filter.h"
#include "list_command.h"

class QLabel;
class QRadioButton;

namespace quillon {
class Language;
class UpdateList;
struct SettingValues;
struct UpdateCheckState;
} // namespace quillon

namespace quillon::ui {

class QuickSearchStrip;
class UpdateListModel;
class UpdateListView;

// What the page reads and changes.
struct UpdatePageParts {
    const Language& language;
    SettingValues& settings; // the icons switch; the filter shown (ShowItemType)
    UpdateList& list;
    const UpdateCheckState& checkState; // whether the buttons the counters enable may be used
};

class UpdatePage : public QWidget {
    Q_OBJECT
public:
    explicit UpdatePage(const UpdatePageParts& parts, QWidget* parent = nullptr);

    void retranslate();
    // The list changed (a job ended, a command): the view shows it again.
    void reloadFromCore();
    // The row of filePath says note instead of its status, until a note empty again.
    void setStatusNote(const QString& filePath, const QString& note);
    // Rows whose contents changed in the list, shown again in place.
    void refreshRows(const QList<int>& rows);
    // A job runs: marks are frozen and nothing recounts.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }

    UpdateListModel& model() { return *m_model; }
    UpdateListView& view() { return *UpdateList; }
    // Core row indices of the selected rows, in list order.
    QList<int> selectedRows() const;
    int currentRow() const;
    void selectRow(int row);
    void selectRows(const QList<int>& rows);

    // ReCountCheckedItems: the label, the filter captions, and countersChanged for the buttons.
    void recount();
    // GUI/ShowItemType applied as the first activation does: 1 and 2 run their filter, 0 only
    // checks "all".
    void applySavedFilter();
    void setFiltersEnabled(bool enabled);
    bool filterActive() const { return m_filterActive; }

    void rb_AllClick();
    void rb_UpdatableClick();
    void rb_UnknownClick();
    void Markall1Click();
    void Unmarkall1Click();
    void Invertmarks1Click();
    void Reselectupdatable1Click();
    void setSelectedMarks(bool checked);
    void JumpToUpdatable(bool forward, bool fromStart);
    // Ctrl+C, Ctrl+Shift+C, Ctrl+G.
    void copySelection(bool withChecksum);
    void copyChecksumEntries();

    // Ctrl+S: the strip opens over the full list.
    void startQuickSearch();
    // Escape in the window: the narrowing ends and the saved filter comes back. False when
    // nothing was narrowed.
    bool endNarrowing();
    bool quickSearchOpen() const;

signals:
    void countersChanged(const quillon::CheckCounters& counters);
    void commandRequested(quillon::ui::ListCommand command);
    void contextMenuRequested(const QPoint& globalPos);
    void marksChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool UpdateListKeyDown(QKeyEvent* event);
    void showLines(const QList<SnapshotLine>& lines);
    void applyFilter(ItemFilter filter);
    void changeMarks(const std::function<bool(int row, bool checked)>& newMark, bool needsTwoRows = true);
    void quickSearchChanged(const QString& text);
    void quickSearchClosed();
    void restoreFilterBeforeSearch();
    void setFilterSilently(ItemFilter filter, bool none = false);

    UpdatePageParts m_parts;
    UpdateListModel* m_model;
    UpdateListView* UpdateList;
    QRadioButton* rb_All;
    QRadioButton* rb_Updatable;
    QRadioButton* rb_Unknown;
    QLabel* lbl_TotalUpdateNum;
    QuickSearchStrip* m_search;
    bool m_busy = false;
    bool m_filterActive = false;
    // The filter (ShowItemType) checked when a quick search began; -1 while none is going on.
    // It is checked again when the search ends.
    int m_filterBeforeSearch = -1;
    bool m_settingFilter = false;
};

} // namespace quillon::ui
