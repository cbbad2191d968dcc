#pragma once
// The add-on information window: the item's description and version history as the catalogue
// publishes them (fetched as a job the user can cancel), and the installed file's checksum.
#include <QDialog>

#include "inventory/update_item.h"
#include "updatecheck/item_details.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace quillon {
class Language;
class PageFetcher;
class Prompter;
struct DatabaseLoadResult;
struct SettingValues;
struct Stores;
struct UpdateCheckState;
} // namespace quillon

namespace quillon::ui {

class DescriptionBrowser;
class JobRunner;

// What the window reads and changes.
struct AddonInfoParts {
    const Language& language;
    SettingValues& settings; // the checksum method
    const Stores& stores;    // the databases naming the item's site
    Prompter& prompter;      // details that did not arrive
};

class TAddonInfo : public QDialog {
    Q_OBJECT
public:
    // title: the item's name as the window names it.
    TAddonInfo(const AddonInfoParts& parts, const UpdateItem& item, const QString& title, ItemDetailsJob job,
               QWidget* parent = nullptr);
    ~TAddonInfo() override;

    // Starts fetching; the window shows what arrives, or reports that nothing did and closes.
    void start();
    void retranslate();

signals:
    // The details are shown (or the window closed without them).
    void detailsShown();
    void detailsFailed();

private:
    void build();
    void showDetails(const ItemDetailsResult& result);
    void showChecksum();
    QString text(const char* section, const char* key, const char* english) const;

    AddonInfoParts m_parts;
    UpdateItem m_item;
    QString m_name;
    ItemDetailsJob m_job;
    JobRunner* m_runner = nullptr;

    QLineEdit* m_title = nullptr;
    QPushButton* m_checksumSwitch = nullptr;
    QLineEdit* m_checksum = nullptr;
    QGroupBox* m_descriptionGroup = nullptr;
    DescriptionBrowser* m_description = nullptr;
    QGroupBox* m_historyGroup = nullptr;
    QPlainTextEdit* m_history = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_visitSite = nullptr;
    QPushButton* m_ok = nullptr;
};

// What asking for an item's information did.
enum class ItemInfoOutcome {
    NoIdentifier, // the item has no WebsiteID: the "not available" message was shown
    ForumOpened,  // a forum topic or post: opened in the browser
    WindowOpened, // the add-on window was opened (returned through window)
};

// What asking for an item's information reads besides what the window uses.
struct ItemInfoSources {
    AddonInfoParts window;
    const UpdateCheckState& checkState; // online identifiers and names; the pre-release choice
    const PageFetcher& fetcher;         // the request the details go out as
    const DatabaseLoadResult& database; // Total Commander's change logs
};

// The add-on information of an update-list row: its WebsiteID (user database, plugin database,
// then the online list) decides between a message, a forum page and the window.
ItemInfoOutcome ShowItemInfoDialog(const ItemInfoSources& sources, const UpdateItem& item, QWidget* parent,
                                   TAddonInfo** window = nullptr);

} // namespace quillon::ui
