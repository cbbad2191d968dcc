#include "ui/info_box.h"

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/common/pe_info.h"
#include "app/language.h"
#include "app/settings_values.h"
#include "engine/check_run.h"
#include "engine/stores.h"
#include "inventory/plugin_database.h"
#include "inventory/update_item.h"
#include "inventory/website_links.h"
#include "ui/clickable_label.h"
#include "ui/db_colours.h"
#include "ui/file_icon.h"
#include "ui/file_jump.h"
#include "ui/ui_text.h"
#include "ui/web_links.h"
#include "updatecheck/online_match.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

namespace {

int typeIndex(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QStringList kinds{u"wcx"_s, u"wdx"_s, u"wfx"_s, u"wlx"_s};
    for (int k = 0; k < kinds.size(); ++k) {
        if (suffix == kinds.at(k) || suffix == kinds.at(k) + "64"_L1)
            return k;
    }
    return static_cast<int>(kinds.size());
}

bool isBlank(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == kNoVersion;
}

// The section of the item in db: the file name, else its stem; empty when neither exists.
QString sectionOf(const IniDocument& db, const QString& filePath) {
    for (const QString& id : {entryFileName(filePath), entryFileStem(filePath)}) {
        if (!id.isEmpty() && db.hasSection(id))
            return id;
    }
    return {};
}

} // namespace

TInfobox::TInfobox(const Language& language, SettingValues& settings, const Stores& stores,
                   const UpdateCheckState& checkState, System& system, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_language(language), m_settings(settings), m_stores(stores),
      m_checkState(checkState), m_system(system) {
    setObjectName(u"TInfobox"_s);
    m_toggle = new QAction(this);
    m_toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_toggle->setShortcutContext(Qt::WindowShortcut);
    connect(m_toggle, &QAction::triggered, this, [this] { setActive(!isVisible()); });
    addAction(m_toggle);
    build();
    retranslate();
}

QString TInfobox::text(const char* section, const char* key, const char* english) const {
    return m_language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                           QString::fromUtf8(english));
}

void TInfobox::build() {
    auto* top = new QHBoxLayout;
    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(u"Panel_TOP"_s);
    QFont bold = m_titleLabel->font();
    bold.setBold(true);
    m_titleLabel->setFont(bold);
    m_close = new QToolButton(this);
    m_close->setObjectName(u"btn_Close"_s);
    m_close->setText(u"\u2715"_s);
    connect(m_close, &QToolButton::clicked, this, [this] { setActive(false); });
    m_icon = new QLabel(this);
    m_icon->setObjectName(u"img_Icon"_s);
    m_icon->hide();
    top->addWidget(m_icon);
    top->addWidget(m_titleLabel, 1);
    top->addWidget(m_close);

    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(true);
        return e;
    };
    m_name = edit("edit_Name");
    m_internalName = edit("edit_InternalName");
    m_originalFn = edit("edit_OriginalFN");
    m_author = edit("edit_Author");
    m_description = edit("edit_Description");
    m_type = new QComboBox(this);
    m_type->setObjectName(u"cb_Type"_s);
    m_type->setEnabled(false);
    m_dbLabel = new ClickableLabel(this);
    m_dbLabel->setObjectName(u"label_DBentry"_s);
    connect(m_dbLabel, &ClickableLabel::clicked, this, &TInfobox::onDbEntryClicked);
    m_fileName = new ClickableLabel(this);
    m_fileName->setObjectName(u"lblFilename"_s);
    connect(m_fileName, &ClickableLabel::clicked, this, &TInfobox::onFileNameClicked);

    auto linkButton = [this](const char* name, const QString& glyph) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(glyph);
        return b;
    };
    m_visitAuthor = linkButton("btn_VisitAuthorURL", u"\u2302"_s);
    m_visitOnline = linkButton("btn_VisitOnlineSite", u"\u2197"_s);
    m_directDownload = linkButton("btn_DirectDownload", u"\u2193"_s);
    connect(m_visitAuthor, &QToolButton::clicked, this, &TInfobox::onAuthorClicked);
    connect(m_visitOnline, &QToolButton::clicked, this, &TInfobox::onOnlineSiteClicked);
    connect(m_directDownload, &QToolButton::clicked, this, &TInfobox::onDirectDownloadClicked);
    auto* links = new QHBoxLayout;
    links->addWidget(m_visitAuthor);
    links->addWidget(m_visitOnline);
    links->addWidget(m_directDownload);
    links->addStretch();

    auto* form = new QFormLayout;
    auto caption = [this] { return new QLabel(this); };
    form->addRow(m_nameCaption = caption(), m_name);
    form->addRow(m_internalCaption = caption(), m_internalName);
    form->addRow(m_originalCaption = caption(), m_originalFn);
    form->addRow(m_authorCaption = caption(), m_author);
    form->addRow(m_descriptionCaption = caption(), m_description);
    form->addRow(m_typeCaption = caption(), m_type);
    form->addRow(m_dbCaption = caption(), m_dbLabel);
    form->addRow(m_fileCaption = caption(), m_fileName);
    form->addRow(m_linksCaption = caption(), links);
    // One line like the other fields: the box keeps its height, the whole text is the tooltip.
    m_loadCheck = edit("edit_LoadCheck");
    form->addRow(m_loadCheckCaption = caption(), m_loadCheck);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);
    // A file name such as "TOTALCMD64.EXE" shows whole beside captions of any language: the box
    // widens with its caption column (retranslate) instead of narrowing the fields.
    const int fieldWidth = fontMetrics().horizontalAdvance(u"TOTALCMD64.EXE_"_s) +
                           2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
    for (QLineEdit* field : {m_name, m_internalName, m_originalFn, m_author, m_description})
        field->setMinimumWidth(fieldWidth);
}

void TInfobox::fitWidth() {
    layout()->invalidate();
    layout()->activate();
    const int needed = std::max(260, layout()->totalMinimumSize().width());
    setMinimumWidth(needed);
    if (width() < needed)
        resize(needed, height());
}

void TInfobox::retranslate() {
    setWindowTitle(text("CaptionsInfoBox", "Caption", "Information box"));
    const QString colon = u":"_s;
    m_nameCaption->setText(text("CaptionsInfoBox", "LblProductName", "Product Name") + colon);
    m_internalCaption->setText(text("CaptionsInfoBox", "LblInternalName", "Internal Name") + colon);
    m_originalCaption->setText(text("CaptionsInfoBox", "LblOriginalFN", "Original FN") + colon);
    m_authorCaption->setText(text("CaptionsInfoBox", "LblAuthor", "Author") + colon);
    m_authorCaption->setToolTip(text("Hints", "AuthorFormat", "Format: \"Company Name (Legal Copyright)\""));
    m_descriptionCaption->setText(text("Hints", "DSC", "Description") + colon);
    m_typeCaption->setText(text("CaptionsInfoBox", "LblItemType", "Type of item") + colon);
    m_dbCaption->setText(text("CaptionsInfoBox", "LblDBentry", "DB entry") + colon);
    m_fileCaption->setText(text("CaptionsDownload", "DLList_FileName", "Filename") + colon);
    m_fileName->setToolTip(text("Hints", "JumpToFile", "Jump to the file"));
    m_linksCaption->setText(text("CaptionsUserDB", "CaptionLinks", "Links") + colon);
    m_loadCheckCaption->setText(text("PluginLoadCheck", "InfoCaption", "Load check") + colon);
    m_close->setToolTip(text("Hints", "Close", "Close"));
    m_visitAuthor->setToolTip(text("CaptionsUserDB", "AuthorURL", "Author homepage"));
    m_visitOnline->setToolTip(text("Popup01MainFrm", "VisitOnline", "Visit online site..."));
    m_directDownload->setToolTip(text("CaptionsUserDB", "DirectDLLink", "Direct download"));
    m_toggle->setText(text("CaptionsInfoBox", "Caption", "Information box"));
    const int type = m_type->currentIndex();
    m_type->clear();
    m_type->addItems({u"WCX"_s, u"WDX"_s, u"WFX"_s, u"WLX"_s, text("CaptionsInfoBox", "TypeOther", "Other")});
    m_type->setCurrentIndex(type);
    if (!m_filePath.isEmpty() || !m_userId.isEmpty())
        fill();
    nameSymbolButtons(*this);
    fitWidth();
}

void TInfobox::follow(QWidget* mainWindow) {
    if (m_mainWindow)
        m_mainWindow->removeEventFilter(this);
    m_mainWindow = mainWindow;
    if (m_mainWindow) {
        m_mainWindow->installEventFilter(this);
        m_mainWindow->addAction(m_toggle);
    }
    place();
}

bool TInfobox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mainWindow && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        place();
    return QWidget::eventFilter(watched, event);
}

void TInfobox::place() {
    if (!m_mainWindow)
        return;
    const QRect frame = m_mainWindow->frameGeometry();
    const QSize size = frameGeometry().size();
    QPoint at(frame.x() + frame.width() + 1, frame.y() + (frame.height() - size.height()) / 2);
    // Beside the window where the screen has room, else on its left, and never off the screen.
    if (const QScreen* screen = m_mainWindow->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.x() + size.width() > room.right() + 1)
            at.setX(frame.x() - size.width() - 1);
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    }
    move(at);
}

void TInfobox::setActive(bool active) {
    m_settings.showInfoBox = active;
    if (active) {
        place();
        show();
        emit activated();
    } else {
        hide();
    }
}

void TInfobox::showItem(const QString& filePath, const QString& title) {
    m_filePath = filePath.trimmed();
    m_userId.clear();
    m_title = title;
    fill();
}

void TInfobox::showUserEntry(const QString& id) {
    m_userId = id.trimmed();
    m_filePath.clear();
    m_title.clear();
    fill();
}

void TInfobox::refresh() {
    fill();
}

void TInfobox::setLoadCheckResult(const QString& filePath, const QString& text) {
    m_loadChecks.insert(filePath.trimmed(), text);
}

void TInfobox::showIcon() {
    const QIcon icon = m_settings.showPlugIcons && m_userId.isEmpty() && !m_filePath.isEmpty()
                           ? fileIcon(m_filePath)
                           : QIcon();
    if (!icon.isNull()) {
        const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
        m_icon->setPixmap(icon.pixmap(QSize(side, side), devicePixelRatio()));
    }
    m_icon->setVisible(!icon.isNull());
}

void TInfobox::fill() {
    showIcon();
    const QString loadCheck = m_userId.isEmpty() ? m_loadChecks.value(m_filePath) : QString();
    m_loadCheck->setText(loadCheck);
    m_loadCheck->setToolTip(loadCheck);
    m_loadCheck->setCursorPosition(0);
    m_loadCheck->setVisible(!loadCheck.isEmpty());
    m_loadCheckCaption->setVisible(!loadCheck.isEmpty());
    const IniDocument& userDb = m_stores.userDb;
    const IniDocument& pluginDb = m_stores.pluginDb;
    const SettingValues& settings = m_settings;
    const DatabaseSwitches switches{settings.databaseEnabled, settings.ignoreUserDb};
    QString product, internal, original, author, description;

    if (!m_userId.isEmpty()) {
        m_titleLabel->setText(text("CaptionsMainFrm", "MenuUserDB", "UserDB") + " ("_L1 + m_userId + ")"_L1);
        product = userDb.value(m_userId, dbkey::ProductName).trimmed();
        internal = userDb.value(m_userId, dbkey::InternalName).trimmed();
        original = userDb.value(m_userId, dbkey::OriginalFN).trimmed();
        description = userDb.value(m_userId, dbkey::Description).trimmed();
        m_authorUrl = userDb.value(m_userId, dbkey::AuthorURL).trimmed();
        m_websiteId = userDb.value(m_userId, dbkey::WebsiteID).trimmed();
        m_directLink = userDb.value(m_userId, dbkey::DirectLink).trimmed();
        m_type->setCurrentIndex(typeIndex(m_userId));
        m_fileName->setText(m_userId);
        m_fileName->setEnabled(false);
        m_dbEntry = DbEntry::UserDatabase;
    } else {
        m_titleLabel->setText(m_title);
        const bool pseudo = isDatabasePseudoPath(m_filePath);
        if (!pseudo && QFileInfo(m_filePath).isFile()) {
            TCEVersionInfo info;
            if (info.GetInfo(m_filePath)) {
                product = info.FProductName.trimmed();
                internal = info.FInternalname.trimmed();
                original = info.FOriginalFilename.trimmed();
                description = info.FFileDescription.trimmed();
                const QString company = info.FCompanyName.trimmed();
                const QString copyright = info.FLegalCopyright.trimmed();
                author = !company.isEmpty() && !copyright.isEmpty() && company != copyright
                             ? company + " ("_L1 + copyright + ")"_L1
                             : (company.isEmpty() ? copyright : company);
            }
        }
        auto lookup = [&](const QString& key) {
            return EntryLookup(userDb, pluginDb, switches, m_filePath, key);
        };
        auto fillIn = [&](QString& field, QLatin1StringView key) {
            if (isBlank(field))
                field = lookup(key);
        };
        fillIn(product, dbkey::ProductName);
        fillIn(internal, dbkey::InternalName);
        fillIn(original, dbkey::OriginalFN);
        fillIn(description, dbkey::Description);
        m_authorUrl = lookup(dbkey::AuthorURL);
        m_websiteId = lookup(dbkey::WebsiteID);
        m_directLink = lookup(dbkey::DirectLink);
        m_type->setCurrentIndex(typeIndex(m_filePath));
        m_fileName->setText(entryFileName(m_filePath));
        m_fileName->setEnabled(!pseudo);
        m_dbEntry = !sectionOf(userDb, m_filePath).isEmpty()     ? DbEntry::UserDatabase
                    : !sectionOf(pluginDb, m_filePath).isEmpty() ? DbEntry::PluginDatabaseOnly
                                                                 : DbEntry::NotFound;
    }

    const QString none = text("CaptionsInfoBox", "NoInfoText", "<info not available>");
    const std::pair<QLineEdit*, QString> fields[] = {
        {m_name, product}, {m_internalName, internal}, {m_originalFn, original}, {m_author, author}};
    for (const auto& [edit, value] : fields)
        edit->setText(isBlank(value) ? none : value);
    const bool noDescription = isBlank(description);
    m_description->setText(noDescription ? none : description);
    // A value longer than its field shows from its start, where it says what it is.
    for (QLineEdit* edit : {m_name, m_internalName, m_originalFn, m_author, m_description})
        edit->setCursorPosition(0);
    QFont font = m_description->font();
    font.setItalic(noDescription);
    m_description->setFont(font);
    QPalette palette = m_description->palette();
    palette.setColor(QPalette::Text, noDescription ? QColor(Qt::gray) : QPalette().color(QPalette::Text));
    m_description->setPalette(palette);

    fillDbEntry();
    bool knownOnline = !m_websiteId.isEmpty();
    if (!knownOnline && m_userId.isEmpty() && !isDatabasePseudoPath(m_filePath))
        knownOnline = !IsPluginFoundOnline(m_checkState.OnlineRecords, entryFileName(m_filePath),
                                           OnlineField::Identifier)
                           .isEmpty();
    m_visitAuthor->setEnabled(!m_authorUrl.isEmpty());
    m_visitOnline->setEnabled(knownOnline);
    m_directDownload->setEnabled(!m_directLink.isEmpty());
}

void TInfobox::fillDbEntry() {
    const SettingValues& settings = m_settings;
    switch (m_dbEntry) {
    case DbEntry::UserDatabase:
        m_dbLabel->setText(text("CaptionsMainFrm", "MenuUserDB", "UserDB"));
        m_dbLabel->setToolTip(text("CaptionsMainFrm", "UserDB_GB_Entries", "UserDB entries") + "..."_L1);
        m_dbLabel->setColours(settings.ignoreUserDb ? kOffColour : kOnColour,
                              settings.ignoreUserDb ? kOffHoverColour : kOnHoverColour);
        break;
    case DbEntry::PluginDatabaseOnly:
        m_dbLabel->setText(settings.databaseEnabled
                               ? text("CaptionsInfoBox", "DBentry_active", "active")
                               : text("CaptionsInfoBox", "DBentry_inactive", "inactive"));
        m_dbLabel->setToolTip(
            text("Hints", "CheckPluginDB", "Click to open the Internal Plugin Database..."));
        m_dbLabel->setColours(settings.databaseEnabled ? kOnColour : kOffColour,
                              settings.databaseEnabled ? kOnHoverColour : kOffHoverColour);
        break;
    case DbEntry::NotFound:
        m_dbLabel->setText(text("CaptionsInfoBox", "DBentry_notfound", "not found"));
        m_dbLabel->setToolTip(text("Buttons", "BtnSaveInUDB", "Save in UserDB") + "..."_L1);
        m_dbLabel->setColours(kMissingColour, kMissingHoverColour);
        break;
    }
}

void TInfobox::onDbEntryClicked() {
    switch (m_dbEntry) {
    case DbEntry::UserDatabase:
        emit editUserEntryRequested(m_userId.isEmpty() ? sectionOf(m_stores.userDb, m_filePath) : m_userId);
        break;
    case DbEntry::PluginDatabaseOnly:
        emit browseDatabaseRequested(m_filePath);
        break;
    case DbEntry::NotFound:
        emit addUserEntryRequested(m_filePath);
        break;
    }
}

void TInfobox::onAuthorClicked() {
    const bool forum = classifyWebsiteId(m_authorUrl) != WebsiteIdKind::Catalogue;
    openWebAddress(!m_userId.isEmpty() && forum ? websitePageFor(m_settings, m_authorUrl) : m_authorUrl);
}

void TInfobox::onOnlineSiteClicked() {
    QString id = m_websiteId;
    if (id.isEmpty() && m_userId.isEmpty())
        id = IsPluginFoundOnline(m_checkState.OnlineRecords, entryFileName(m_filePath),
                                 OnlineField::Identifier);
    openWebAddress(websitePageFor(m_settings, id));
}

void TInfobox::onDirectDownloadClicked() {
    if (m_directLink.startsWith('$'_L1))
        emit directDownloadRequested(m_filePath);
    else
        openWebAddress(m_directLink);
}

void TInfobox::onFileNameClicked() {
    if (!m_filePath.isEmpty() && !isDatabasePseudoPath(m_filePath))
        jumpToFiles(m_system, {m_filePath});
}

} // namespace quillon::ui
