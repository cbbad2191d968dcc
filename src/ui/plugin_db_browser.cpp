#include "ui/plugin_db_browser.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/prompter.h"
#include "app/settings_values.h"
#include "engine/check_run.h"
#include "engine/stores.h"
#include "inventory/database_loader.h"
#include "inventory/plugin_database.h"
#include "inventory/user_database.h"
#include "ui/db_colours.h"
#include "ui/plugin_db_model.h"
#include "ui/ui_text.h"
#include "ui/user_db_modify.h"
#include "ui/web_links.h"
#include "ui/window_size.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

namespace {
// The entry shown last, selected again at the next opening while the program runs.
QString& lastEntry() {
    static QString name;
    return name;
}

QString dayText(const QString& updateText) {
    const std::optional<QDate> date = parseDatabaseDate(updateText);
    return date ? date->toString(u"dd.MM.yyyy"_s) : updateText;
}
} // namespace

TPluginDB::TPluginDB(const PluginDbBrowserParts& parts, const QString& selectedFilePath, QWidget* parent)
    : QDialog(parent), m_parts(parts) {
    setObjectName(u"TPluginDB"_s);
    loadDatabase();
    build();
    retranslate();
    restoreWindowSize(m_parts.stores.settings, *this, WindowSizeKeys::PluginDbBrowser);

    const SettingValues& settings = m_parts.settings;
    (settings.databaseEnabled ? m_on : m_off)->setChecked(true);
    const std::optional<QDate> online =
        parseDatabaseDate(m_parts.checkState.DatabaseInfo.pluginDbReleaseDate);
    const bool newer = online && databaseReleaseDate(m_database) < *online;
    m_updateToLatest->setEnabled(newer);
    QFont font = m_updateToLatest->font();
    font.setBold(newer);
    m_updateToLatest->setFont(font);

    m_totalEntries->setText(QString::number(countEntries(m_database)));
    m_currentVersion->setText(dayText(databaseUpdateText(m_database)));
    m_onlineVersion->setText(online ? online->toString(u"dd.MM.yyyy"_s) : u"-"_s);
    m_onlineEntries->setText(u"-"_s);

    QString first = lastEntry();
    if (!selectedFilePath.trimmed().isEmpty()) {
        for (const QString& name : {entryFileStem(selectedFilePath), entryFileName(selectedFilePath)}) {
            if (m_model->rowOfName(name) >= 0)
                first = name;
        }
    }
    selectEntry(first.isEmpty() ? m_model->nameAt(0) : first);
    paintState();
    if (newer)
        m_updateToLatest->setFocus();
}

QString TPluginDB::text(const char* section, const char* key, const char* english) const {
    return m_parts.language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                                 QString::fromUtf8(english));
}

void TPluginDB::loadDatabase() {
    IniDocument checksums;
    DatabaseLoadOptions options;
    options.settingsDir = m_parts.settingsDir;
    options.forceUseExtDb = m_parts.settings.forceUseExtDb;
    LoadPluginDatabases(m_database, checksums, options);
}

void TPluginDB::build() {
    m_model = new PluginDbModel(m_database, m_parts.language, this);
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterKeyColumn(PluginDbModel::NameColumn);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_listGroup = new QGroupBox(this);
    m_search = new QLineEdit(m_listGroup);
    m_search->setObjectName(u"edit_Search"_s);
    m_search->setClearButtonEnabled(true);
    connect(m_search, &QLineEdit::textChanged, this, &TPluginDB::search);
    m_list = new QTableView(m_listGroup);
    m_list->setObjectName(u"PluginDBList"_s);
    m_list->setModel(m_filter);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    // The names are what the user looks for: never cut.
    m_list->horizontalHeader()->setSectionResizeMode(PluginDbModel::NameColumn,
                                                     QHeaderView::ResizeToContents);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    showEntry(m_model->nameAt(m_filter->mapToSource(current).row()));
            });
    auto* listLayout = new QVBoxLayout(m_listGroup);
    listLayout->addWidget(m_search);
    listLayout->addWidget(m_list, 1);

    m_id = new QLineEdit(this);
    m_id->setObjectName(u"edit_ID"_s);
    m_id->setReadOnly(true);
    m_id->setEnabled(false);
    const std::pair<QLatin1StringView, const char*> names[] = {
        {dbkey::ProductName, "edit_ProductName"},   {dbkey::OriginalFN, "edit_OriginalFN"},
        {dbkey::InternalName, "edit_InternalName"}, {dbkey::WebsiteID, "edit_WEBID"},
        {dbkey::Description, "edit_Description"},   {dbkey::DirectLink, "edit_DirectLink"},
        {dbkey::AuthorURL, "edit_AuthorURL"}};
    for (const auto& [key, name] : names) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        connect(edit, &QLineEdit::textEdited, this, &TPluginDB::updateButtons);
        m_fields.append({QString(key), edit});
    }
    auto field = [this](QLatin1StringView key) {
        for (const auto& [k, edit] : m_fields) {
            if (k == key)
                return edit;
        }
        return static_cast<QLineEdit*>(nullptr);
    };
    m_visitSite = new QToolButton(this);
    m_visitSite->setObjectName(u"btn_VisitSite"_s);
    m_visitSite->setText(u"\u2197"_s);
    connect(m_visitSite, &QToolButton::clicked, this, [this, web = field(dbkey::WebsiteID)] {
        openWebAddress(websitePageFor(m_parts.settings, web->text()));
    });
    m_visitAuthor = new QToolButton(this);
    m_visitAuthor->setObjectName(u"btn_VisitAuthorURL"_s);
    m_visitAuthor->setText(u"\u2302"_s);
    connect(m_visitAuthor, &QToolButton::clicked, this,
            [this, author = field(dbkey::AuthorURL)] { openWebAddress(author->text()); });
    auto withButton = [](QLineEdit* edit, QToolButton* button) {
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(button);
        return row;
    };
    m_infoGroup = new QGroupBox(this);
    auto* info = new QFormLayout(m_infoGroup);
    info->addRow(u"ID:"_s, m_id);
    info->addRow(u"PN:"_s, field(dbkey::ProductName));
    info->addRow(u"OFN:"_s, field(dbkey::OriginalFN));
    info->addRow(u"IN:"_s, field(dbkey::InternalName));
    info->addRow(u"WEB: *"_s, withButton(field(dbkey::WebsiteID), m_visitSite));
    info->addRow(u"DSC:"_s, field(dbkey::Description));
    m_optionalGroup = new QGroupBox(this);
    auto* optional = new QFormLayout(m_optionalGroup);
    optional->addRow(u"DL:"_s, field(dbkey::DirectLink));
    optional->addRow(u"AU:"_s, withButton(field(dbkey::AuthorURL), m_visitAuthor));

    m_localGroup = new QGroupBox(this);
    auto* local = new QFormLayout(m_localGroup);
    m_totalEntries = new QLabel(this);
    m_totalEntries->setObjectName(u"lbl_TotalEntry"_s);
    m_currentVersion = new QLabel(this);
    m_currentVersion->setObjectName(u"lbl_CurrentVersion"_s);
    local->addRow(m_localEntriesCaption = new QLabel(this), m_totalEntries);
    local->addRow(m_localVersionCaption = new QLabel(this), m_currentVersion);
    m_onlineGroup = new QGroupBox(this);
    auto* online = new QFormLayout(m_onlineGroup);
    m_onlineEntries = new QLabel(this);
    m_onlineVersion = new QLabel(this);
    online->addRow(m_onlineEntriesCaption = new QLabel(this), m_onlineEntries);
    online->addRow(m_onlineVersionCaption = new QLabel(this), m_onlineVersion);
    m_updateToLatest = new QPushButton(this);
    m_updateToLatest->setObjectName(u"btn_UpdateToLatest"_s);
    // The main window fetches it through its download window.
    connect(m_updateToLatest, &QPushButton::clicked, this, [this] {
        hide();
        emit downloadLatestRequested();
        accept();
    });
    m_stateGroup = new QGroupBox(this);
    m_on = new QRadioButton(m_stateGroup);
    m_on->setObjectName(u"rb_on"_s);
    m_off = new QRadioButton(m_stateGroup);
    m_off->setObjectName(u"rb_off"_s);
    connect(m_on, &QRadioButton::clicked, this, [this] { switchDatabase(true); });
    connect(m_off, &QRadioButton::clicked, this, [this] { switchDatabase(false); });
    auto* state = new QHBoxLayout(m_stateGroup);
    state->addWidget(m_on);
    state->addWidget(m_off);

    m_saveUserDb = new QPushButton(this);
    m_saveUserDb->setObjectName(u"btn_SaveUserDB"_s);
    m_saveUserDb->setEnabled(false);
    connect(m_saveUserDb, &QPushButton::clicked, this, &TPluginDB::saveInUserDb);
    m_ok = new QPushButton(this);
    m_ok->setObjectName(u"btn_OK"_s);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* right = new QVBoxLayout;
    right->addWidget(m_infoGroup);
    right->addWidget(m_optionalGroup);
    auto* versions = new QHBoxLayout;
    versions->addWidget(m_localGroup);
    versions->addWidget(m_onlineGroup);
    right->addLayout(versions);
    right->addWidget(m_updateToLatest);
    right->addWidget(m_stateGroup);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_listGroup, 1);
    top->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveUserDb);
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void TPluginDB::retranslate() {
    setWindowTitle(text("CaptionsPluginDB", "Caption", "Internal Plugin Database"));
    m_listGroup->setTitle(text("CaptionsPluginDB", "GbDatabase", "Database"));
    m_search->setPlaceholderText(text("CaptionsPluginDB", "Search", "Search..."));
    m_id->setToolTip(text("Hints", "ID", "Identifier (DB)"));
    m_infoGroup->setTitle(text("CaptionsPluginDB", "GbItemInformation", "Item information"));
    m_optionalGroup->setTitle(text("CaptionsUserDB", "OptionalDatas", "Optional informations"));
    m_localGroup->setTitle(text("CaptionsPluginDB", "GbCurrentVerLocal", "Current version (Local)"));
    m_onlineGroup->setTitle(text("CaptionsPluginDB", "GbLatestVerNet", "Latest version (Internet)"));
    const QString entries = text("CaptionsPluginDB", "LblEntries", "Entries") + u':';
    const QString version = text("CaptionsPluginDB", "LblVersion", "Version") + u':';
    m_localEntriesCaption->setText(entries);
    m_onlineEntriesCaption->setText(entries);
    m_localVersionCaption->setText(version);
    m_onlineVersionCaption->setText(version);
    m_stateGroup->setTitle(text("CaptionsPluginDB", "GbDBstate", "State"));
    m_on->setText(text("CaptionsMainFrm", "LblOn", "on"));
    m_off->setText(text("CaptionsMainFrm", "LblOff", "off"));
    m_updateToLatest->setText(text("Buttons", "BtnUpdateToLatest", "Download the latest version"));
    m_saveUserDb->setText(text("Buttons", "BtnSaveInUDB", "Save in UserDB"));
    m_ok->setText(text("Buttons", "BtnOK", "OK"));
    m_visitSite->setToolTip(text("Popup01MainFrm", "VisitOnline", "Visit online site..."));
    m_visitAuthor->setToolTip(text("CaptionsUserDB", "AuthorURL", "Author homepage") + "..."_L1);
    nameSymbolButtons(*this);
}

void TPluginDB::search(const QString& text) {
    m_filter->setFilterFixedString(text.trimmed());
    if (m_filter->rowCount() == 1)
        m_list->setCurrentIndex(m_filter->index(0, 0));
}

int TPluginDB::visibleEntries() const {
    return m_filter->rowCount();
}

void TPluginDB::selectEntry(const QString& name) {
    const int row = m_model->rowOfName(name);
    if (row < 0)
        return;
    const QModelIndex index = m_filter->mapFromSource(m_model->index(row, 0));
    if (!index.isValid())
        return;
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
    showEntry(m_model->nameAt(row));
}

void TPluginDB::showEntry(const QString& name) {
    m_current = name;
    lastEntry() = name;
    m_id->setText(name);
    const UserDbEntry entry = readPluginDbEntry(m_database, name);
    for (const auto& [key, edit] : m_fields) {
        edit->setText(entry.field(key));
        edit->setCursorPosition(0);
    }
    updateButtons();
}

void TPluginDB::updateButtons() {
    UserDbEntry edited;
    edited.id = m_current;
    for (const auto& [key, edit] : m_fields)
        edited.setField(key, edit->text());
    m_saveUserDb->setEnabled(!m_current.isEmpty() && !correctedFields(m_database, edited).isEmpty());
    auto usable = [](const QString& t) { return !t.trimmed().isEmpty() && t.trimmed() != kMissingField; };
    m_visitSite->setEnabled(usable(edited.field(dbkey::WebsiteID)));
    m_visitAuthor->setEnabled(usable(edited.field(dbkey::AuthorURL)));
}

bool TPluginDB::saveInUserDb() {
    UserDbEntry edited;
    edited.id = m_current;
    for (const auto& [key, edit] : m_fields)
        edited.setField(key, edit->text());
    if (m_current.isEmpty() || storeCorrections(m_parts.stores.userDb, m_database, edited) == 0)
        return false;
    m_saveUserDb->setEnabled(false);
    const bool written = writeUserDbFile(m_parts.stores.userDb);
    if (!written)
        reportUserDbNotSaved(m_parts.language, m_parts.prompter);
    emit userDbChanged();
    return written;
}

void TPluginDB::switchDatabase(bool enabled) {
    m_parts.settings.databaseEnabled = enabled;
    paintState();
    emit databaseSwitched(enabled);
}

void TPluginDB::paintState() {
    const QColor colour = m_parts.settings.databaseEnabled ? kOnColour : kOffColour;
    for (QWidget* w : std::initializer_list<QWidget*>{m_totalEntries, m_fields.at(3).second, m_on, m_off}) {
        QPalette p = w->palette();
        p.setColor(QPalette::WindowText, colour);
        p.setColor(QPalette::Text, colour);
        w->setPalette(p);
    }
}

void TPluginDB::done(int result) {
    saveWindowSize(m_parts.stores.settings, *this, WindowSizeKeys::PluginDbBrowser);
    QDialog::done(result);
}

} // namespace quillon::ui
