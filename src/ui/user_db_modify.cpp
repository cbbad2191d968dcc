#include "ui/user_db_modify.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/common/pe_info.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings_values.h"
#include "engine/stores.h"
#include "inventory/plugin_database.h"
#include "inventory/user_database.h"
#include "ui/ui_text.h"
#include "ui/web_links.h"
#include "ui/window_size.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

TUserDBModify::TUserDBModify(const UserDbParts& parts, const QString& id, const QString& proposedWebsiteId,
                             QWidget* parent)
    : QDialog(parent), m_parts(parts) {
    setObjectName(u"TUserDBModify"_s);
    setAcceptDrops(true);
    build();
    const IniDocument& userDb = m_parts.stores.userDb;
    QString identifier = id.trimmed();
    const bool existing = !identifier.isEmpty() &&
                          (userDb.hasSection(identifier) || userDb.hasSection(entryFileStem(identifier)));
    if (existing) {
        if (QFileInfo(identifier).isFile() || !userDb.hasSection(identifier))
            identifier = entryFileStem(identifier);
        m_originalId = identifier;
        const UserDbEntry entry = readUserDbEntry(userDb, identifier);
        m_id->setText(identifier);
        m_productName->setText(entry.field(dbkey::ProductName));
        m_originalFn->setText(entry.field(dbkey::OriginalFN));
        m_internalName->setText(entry.field(dbkey::InternalName));
        m_description->setText(entry.field(dbkey::Description));
        m_directLink->setText(entry.field(dbkey::DirectLink));
        m_authorUrl->setText(entry.field(dbkey::AuthorURL));
        m_webId->setText(proposedWebsiteId.isEmpty() ? entry.field(dbkey::WebsiteID) : proposedWebsiteId);
        m_webId->setFocus();
        m_webId->end(false);
    } else {
        m_id->setText(identifier);
        if (!QFileInfo(identifier).suffix().isEmpty() && QFileInfo(identifier).isFile())
            fillFromFile(identifier, true);
        m_webId->setText(proposedWebsiteId);
        m_webId->selectAll();
        m_id->setFocus();
    }
    retranslate();
    updateButtons();
    restoreWindowSize(m_parts.stores.settings, *this, WindowSizeKeys::UserDbEditor);
}

QString TUserDBModify::text(const char* section, const char* key, const char* english) const {
    return m_parts.language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                                 QString::fromUtf8(english));
}

void TUserDBModify::build() {
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    m_id = edit("edit_ID");
    m_productName = edit("edit_ProductName");
    m_originalFn = edit("edit_OriginalFN");
    m_internalName = edit("edit_InternalName");
    m_webId = edit("edit_WEBID");
    m_description = edit("edit_Description");
    m_directLink = edit("edit_DirectLink");
    m_authorUrl = edit("edit_AuthorURL");
    for (QLineEdit* e : {m_id, m_webId, m_directLink, m_authorUrl})
        connect(e, &QLineEdit::textChanged, this, &TUserDBModify::updateButtons);

    m_visitSite = new QToolButton(this);
    m_visitSite->setObjectName(u"btn_VisitSite"_s);
    m_visitSite->setText(u"\u2197"_s);
    connect(m_visitSite, &QToolButton::clicked, this,
            [this] { openWebAddress(websitePageFor(m_parts.settings, m_webId->text())); });
    m_visitAuthor = new QToolButton(this);
    m_visitAuthor->setObjectName(u"btn_VisitSite2"_s);
    m_visitAuthor->setText(u"\u2302"_s);
    connect(m_visitAuthor, &QToolButton::clicked, this, [this] { openWebAddress(m_authorUrl->text()); });

    auto row = [](QLineEdit* e, QToolButton* b) {
        auto* l = new QHBoxLayout;
        l->addWidget(e, 1);
        l->addWidget(b);
        return l;
    };
    m_infoGroup = new QGroupBox(this);
    auto* info = new QFormLayout(m_infoGroup);
    info->addRow(m_idLabel = new QLabel(this), m_id);
    info->addRow(m_productLabel = new QLabel(this), m_productName);
    info->addRow(m_originalLabel = new QLabel(this), m_originalFn);
    info->addRow(m_internalLabel = new QLabel(this), m_internalName);
    info->addRow(m_webLabel = new QLabel(this), row(m_webId, m_visitSite));
    info->addRow(m_descriptionLabel = new QLabel(this), m_description);
    m_optionalGroup = new QGroupBox(this);
    auto* optional = new QFormLayout(m_optionalGroup);
    optional->addRow(m_directLabel = new QLabel(this), m_directLink);
    optional->addRow(m_authorLabel = new QLabel(this), row(m_authorUrl, m_visitAuthor));
    m_note = new QLabel(this);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setWordWrap(true);

    m_save = new QPushButton(this);
    m_save->setObjectName(u"btn_Save"_s);
    m_save->setDefault(true);
    connect(m_save, &QPushButton::clicked, this, &TUserDBModify::save);
    m_close = new QPushButton(this);
    m_close->setObjectName(u"btn_Close"_s);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_infoGroup);
    layout->addWidget(m_optionalGroup);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
}

void TUserDBModify::retranslate() {
    const QString title =
        text("CaptionsMainFrm", "MenuUserDB", "UserDB") + " - "_L1 +
        (isEditing() ? text("Buttons", "BtnEdit", "Edit") : text("Buttons", "BtnAddNew", "Add new")) +
        "..."_L1;
    setWindowTitle(title);
    const QString colon = u":"_s;
    const QString fillMarked =
        text("CaptionsUserDB", "FillMarked", "The required fields are the ones marked with asterisk.");
    m_infoGroup->setTitle(text("CaptionsPluginDB", "GbItemInformation", "Item information") + colon);
    m_optionalGroup->setTitle(text("CaptionsUserDB", "OptionalDatas", "Optional informations") + colon);
    m_idLabel->setText(text("CaptionsMainFrm", "UserDB_LB_ID", "Item ID (filename)") + colon + " *"_L1);
    m_productLabel->setText(text("CaptionsInfoBox", "LblProductName", "Product Name") + colon);
    m_originalLabel->setText(text("CaptionsInfoBox", "LblOriginalFN", "Original FN") + colon);
    m_internalLabel->setText(text("CaptionsInfoBox", "LblInternalName", "Internal Name") + colon);
    m_webLabel->setText(u"WEB: *"_s);
    m_descriptionLabel->setText(text("CaptionsAddonInfo", "GbDescription", "Description") + colon);
    m_directLabel->setText(text("CaptionsUserDB", "DirectDLLink", "Direct download") + colon);
    m_directLink->setToolTip(text("CaptionsUserDB", "DoNotFillNote",
                                  "Only fill in case download fails for this file, and you know a direct URL "
                                  "with which you can always get the latest version."));
    m_authorLabel->setText(text("CaptionsUserDB", "AuthorURL", "Author homepage") + colon);
    m_note->setText(fillMarked);
    for (QWidget* w : std::initializer_list<QWidget*>{m_idLabel, m_webLabel, m_id, m_webId})
        w->setToolTip(fillMarked);
    m_visitSite->setToolTip(text("Popup01MainFrm", "VisitOnline", "Visit online site..."));
    m_visitAuthor->setToolTip(text("CaptionsUserDB", "AuthorURL", "Author homepage") + "..."_L1);
    m_save->setText(text("Buttons", "BtnSaveInUDB", "Save in UserDB"));
    m_close->setText(text("Buttons", "BtnClose", "Close"));
    nameSymbolButtons(*this);
}

void TUserDBModify::fillFromFile(const QString& path, bool setId) {
    TCEVersionInfo info;
    info.GetInfo(path);
    if (setId)
        m_id->setText(entryFileStem(path));
    m_productName->setText(info.FProductName.trimmed());
    m_internalName->setText(info.FInternalname.trimmed());
    m_originalFn->setText(info.FOriginalFilename.trimmed());
    m_description->setText(info.FFileDescription.trimmed());
}

void TUserDBModify::updateButtons() {
    UserDbEntry entry;
    entry.id = m_id->text();
    entry.setField(dbkey::WebsiteID, m_webId->text());
    entry.setField(dbkey::DirectLink, m_directLink->text());
    entry.setField(dbkey::AuthorURL, m_authorUrl->text());
    m_save->setEnabled(canSaveUserDbEntry(entry));
    auto usable = [](const QString& t) { return !t.trimmed().isEmpty() && t.trimmed() != kMissingField; };
    m_visitSite->setEnabled(usable(m_webId->text()));
    m_visitAuthor->setEnabled(usable(m_authorUrl->text()));
}

bool TUserDBModify::save() {
    UserDbEntry entry;
    entry.id = m_id->text();
    const std::pair<QLatin1StringView, QLineEdit*> fields[] = {{dbkey::ProductName, m_productName},
                                                               {dbkey::OriginalFN, m_originalFn},
                                                               {dbkey::InternalName, m_internalName},
                                                               {dbkey::Description, m_description},
                                                               {dbkey::DirectLink, m_directLink},
                                                               {dbkey::AuthorURL, m_authorUrl},
                                                               {dbkey::WebsiteID, m_webId}};
    for (const auto& [key, edit] : fields)
        entry.setField(key, edit->text());
    if (!canSaveUserDbEntry(entry))
        return false;
    IniDocument& userDb = m_parts.stores.userDb;
    const QString target = storeUserDbEntry(userDb, m_originalId, entry);
    // Written now, not only at exit: a crash or a killed session keeps the correction.
    const bool written = writeUserDbFile(userDb);
    if (!written)
        reportUserDbNotSaved(m_parts.language, m_parts.prompter);
    emit saved(target);
    accept();
    return written;
}

void reportUserDbNotSaved(const Language& language, Prompter& prompter) {
    prompter.tell(PromptIcon::Error,
                  language.text(u"ErrorMessages"_s, u"CannotSaveConf_Caption"_s,
                                u"Error: Configuration cannot be saved"_s),
                  language.format(u"ErrorMessages"_s, u"CannotSaveConf_L1"_s,
                                  u"Unfortunately %s cannot save the current configuration."_s,
                                  {QCoreApplication::applicationName(), {}, {}}) +
                      '\n'_L1 +
                      language.format(u"ErrorMessages"_s, u"CannotSaveConf_L2"_s,
                                      u"Reason: %s is not writable (read-only / insufficient rights)."_s,
                                      {u"userdb.ini"_s, {}, {}}));
}

void TUserDBModify::done(int result) {
    saveWindowSize(m_parts.stores.settings, *this, WindowSizeKeys::UserDbEditor);
    QDialog::done(result);
}

void TUserDBModify::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TUserDBModify::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.last().isLocalFile())
        return;
    fillFromFile(urls.last().toLocalFile(), !isEditing() && m_id->text().trimmed().isEmpty());
    m_webId->end(false);
    event->acceptProposedAction();
}

} // namespace quillon::ui
