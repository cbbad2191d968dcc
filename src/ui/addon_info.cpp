#include "ui/addon_info.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/common/checksums.h"
#include "app/language.h"
#include "app/locales.h"
#include "app/prompter.h"
#include "app/settings_values.h"
#include "app/tc_description.h"
#include "engine/check_run.h"
#include "engine/stores.h"
#include "inventory/database_loader.h"
#include "inventory/plugin_database.h"
#include "inventory/website_links.h"
#include "ui/description_browser.h"
#include "ui/file_icon.h"
#include "ui/job_runner.h"
#include "ui/web_links.h"
#include "updatecheck/online_match.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

namespace {
constexpr int kMethodMd5 = 0;
constexpr int kMethodCrc32 = 1;
constexpr int kLineHeight = 13;
constexpr int kDescriptionMax = 170;
constexpr int kHistoryMax = 107;

int heightFor(const QString& text, int most) {
    return qMin(kLineHeight * static_cast<int>(text.count('\n'_L1) + 1) + 19, most);
}
} // namespace

TAddonInfo::TAddonInfo(const AddonInfoParts& parts, const UpdateItem& item, const QString& title,
                       ItemDetailsJob job, QWidget* parent)
    : QDialog(parent), m_parts(parts), m_item(item), m_name(title), m_job(std::move(job)) {
    setObjectName(u"TAddonInfo"_s);
    m_runner = new JobRunner(this);
    build();
    retranslate();
    showChecksum();
}

TAddonInfo::~TAddonInfo() = default;

QString TAddonInfo::text(const char* section, const char* key, const char* english) const {
    return m_parts.language.text(QString::fromLatin1(section), QString::fromLatin1(key),
                                 QString::fromUtf8(english));
}

void TAddonInfo::build() {
    m_title = new QLineEdit(this);
    m_title->setObjectName(u"edt_Title"_s);
    m_title->setReadOnly(true);
    m_checksumSwitch = new QPushButton(this);
    m_checksumSwitch->setObjectName(u"btn_switchMd5Crc32"_s);
    connect(m_checksumSwitch, &QPushButton::clicked, this, [this] {
        int& method = m_parts.settings.checksumMethod;
        method = method == kMethodCrc32 ? kMethodMd5 : kMethodCrc32;
        showChecksum();
    });
    m_checksum = new QLineEdit(this);
    m_checksum->setObjectName(u"edt_checksum"_s);
    m_checksum->setReadOnly(true);
    auto* checksumRow = new QHBoxLayout;
    checksumRow->addWidget(m_checksumSwitch);
    checksumRow->addWidget(m_checksum, 1);

    m_descriptionGroup = new QGroupBox(this);
    m_descriptionGroup->setObjectName(u"gb_Description"_s);
    m_description = new DescriptionBrowser(m_descriptionGroup);
    m_description->setObjectName(u"wbDescription"_s);
    m_description->setPageAddress(QUrl(m_job.detailsUrl));
    (new QVBoxLayout(m_descriptionGroup))->addWidget(m_description);
    m_historyGroup = new QGroupBox(this);
    m_historyGroup->setObjectName(u"gb_VersionHistory"_s);
    m_history = new QPlainTextEdit(m_historyGroup);
    m_history->setObjectName(u"mVersionHistory"_s);
    m_history->setReadOnly(true);
    (new QVBoxLayout(m_historyGroup))->addWidget(m_history);
    m_descriptionGroup->hide();
    m_historyGroup->hide();

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(u"btn_Cancel"_s);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_runner->cancel();
        reject();
    });
    connect(m_runner, &JobRunner::progress, this, [this](const QString&, qint64 done, qint64 total) {
        m_progress->setRange(0, total > 0 ? 100 : 0);
        if (total > 0)
            m_progress->setValue(static_cast<int>(done * 100 / total));
    });

    m_visitSite = new QPushButton(this);
    m_visitSite->setObjectName(u"btn_VisitSite"_s);
    connect(m_visitSite, &QPushButton::clicked, this, [this] {
        const QString id = EntryLookup(m_parts.stores.userDb, m_parts.stores.pluginDb,
                                       {m_parts.settings.databaseEnabled, m_parts.settings.ignoreUserDb},
                                       m_item.FilePath, dbkey::WebsiteID);
        openWebAddress(websitePageFor(m_parts.settings, id.isEmpty() ? entryFileStem(m_item.FilePath) : id));
    });
    m_ok = new QPushButton(this);
    m_ok->setObjectName(u"btn_OK"_s);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    buttons->addWidget(m_visitSite);
    buttons->addWidget(m_ok);

    // The file's own icon beside its title (GUI/ShowPlugIcons); without one the title takes the row.
    auto* titleRow = new QHBoxLayout;
    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(u"img_Icon"_s);
    const QIcon icon = m_parts.settings.showPlugIcons ? fileIcon(m_item.FilePath) : QIcon();
    if (!icon.isNull()) {
        const int side = style()->pixelMetric(QStyle::PM_LargeIconSize);
        iconLabel->setPixmap(icon.pixmap(QSize(side, side), devicePixelRatio()));
        setWindowIcon(icon);
    }
    iconLabel->setVisible(!icon.isNull());
    titleRow->addWidget(iconLabel);
    titleRow->addWidget(m_title, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titleRow);
    layout->addLayout(checksumRow);
    layout->addWidget(m_descriptionGroup);
    layout->addWidget(m_historyGroup);
    layout->addLayout(buttons);
    resize(480, 200);
}

void TAddonInfo::retranslate() {
    setWindowTitle(m_parts.language.format(u"CaptionsAddonInfo"_s, u"Caption"_s, u"%s - information"_s,
                                           {m_name, {}, {}}));
    m_title->setText(m_name + u' ' + m_item.InstalledVersion);
    m_title->setCursorPosition(0); // a long name shows from its start
    m_descriptionGroup->setTitle(text("CaptionsAddonInfo", "GbDescription", "Description"));
    m_historyGroup->setTitle(text("CaptionsAddonInfo", "GbVersionHistory", "Version History"));
    m_checksumSwitch->setToolTip(
        text("CaptionsAddonInfo", "ChecksumSwitch", "Click to switch between MD5 and CRC-32"));
    m_checksum->setToolTip(text("CaptionsAddonInfo", "LblChecksum", "Checksum of the installed file"));
    m_visitSite->setText(text("Popup01MainFrm", "VisitOnline", "Visit online site..."));
    m_ok->setText(text("Buttons", "BtnOK", "OK"));
    m_cancel->setText(text("Buttons", "BtnCancel", "Cancel"));
}

void TAddonInfo::showChecksum() {
    const bool crc = m_parts.settings.checksumMethod == kMethodCrc32;
    m_checksumSwitch->setText(crc ? u"CRC:"_s : u"MD5:"_s);
    if (!QFileInfo(m_item.FilePath).isFile()) {
        m_checksum->clear();
        return;
    }
    m_checksum->setText(crc ? QString::number(FileCrc32OrZero(m_item.FilePath))
                            : FileMd5Hex(m_item.FilePath).value_or(QString()));
}

void TAddonInfo::start() {
    const ItemDetailsJob job = m_job;
    auto result = std::make_shared<ItemDetailsResult>();
    m_runner->start([job, result](const CancelToken& token,
                                  ProgressSink& sink) { *result = fetchItemDetails(job, token, sink); },
                    [this, result](bool cancelled) {
                        if (cancelled)
                            result->outcome = ItemDetailsResult::Outcome::Cancelled;
                        showDetails(*result);
                    });
}

void TAddonInfo::showDetails(const ItemDetailsResult& result) {
    m_progress->hide();
    m_cancel->hide();
    if (result.outcome == ItemDetailsResult::Outcome::Cancelled)
        return;
    if (result.outcome == ItemDetailsResult::Outcome::NoAnswer) {
        m_parts.prompter.tell(PromptIcon::Error, text("ErrorMessages", "CaptionError", "Error"),
                              text("ErrorMessages", "DownloadError_02",
                                   "Error: No internet connection / invalid proxy settings."));
        emit detailsFailed();
        reject();
        return;
    }
    m_description->setHtml(result.details.descriptionHtml);
    const QString plain = m_description->toPlainText();
    m_description->setFixedHeight(heightFor(plain, kDescriptionMax));
    m_descriptionGroup->show();
    m_history->setPlainText(result.details.history);
    m_history->setFixedHeight(heightFor(result.details.history, kHistoryMax));
    m_historyGroup->setVisible(!result.details.history.isEmpty());
    adjustSize();
    emit detailsShown();
}

ItemInfoOutcome ShowItemInfoDialog(const ItemInfoSources& sources, const UpdateItem& item, QWidget* parent,
                                   TAddonInfo** window) {
    if (window)
        *window = nullptr;
    const AddonInfoParts& parts = sources.window;
    const SettingValues& settings = parts.settings;
    const Language& language = parts.language;
    const QString fileName = entryFileName(item.FilePath);
    QString id =
        EntryLookup(parts.stores.userDb, parts.stores.pluginDb,
                    {settings.databaseEnabled, settings.ignoreUserDb}, item.FilePath, dbkey::WebsiteID);
    const bool tcRow = item.Group == ItemGroup::TC;
    if (id.isEmpty())
        id = IsPluginFoundOnline(sources.checkState.OnlineRecords, fileName, OnlineField::Identifier);
    if (id.isEmpty() && !tcRow) {
        parts.prompter.tell(
            PromptIcon::Information, language.text(u"ErrorMessages"_s, u"CaptionInfo"_s, u"Information"_s),
            language.format(u"ErrorMessages"_s, u"InfoNotAvailable_L1"_s,
                            u"Sorry, %s1 is unable to show additional info of %s2."_s,
                            {{}, QCoreApplication::applicationName(), entryFileStem(item.FilePath)}) +
                "\n\n"_L1 +
                language.text(u"ErrorMessages"_s, u"InfoNotAvailable_L2"_s,
                              u"Reason: Database entry not found."_s));
        return ItemInfoOutcome::NoIdentifier;
    }
    if (!tcRow && classifyWebsiteId(id) != WebsiteIdKind::Catalogue) {
        openWebAddress(websitePageFor(settings, id));
        return ItemInfoOutcome::ForumOpened;
    }

    ItemDetailsJob job;
    job.requestTemplate = sources.fetcher.requestFor(QString());
    job.requestTemplate.progress = nullptr;
    if (tcRow) {
        const bool beta = sources.checkState.TcPreReleaseAccepted;
        const DatabaseLoadResult& db = sources.database;
        job.tcDescription = TotalCommanderDescription(language.currentLcid());
        job.historyUrl = settings.siteTotalCommander + (beta ? db.changeLogBeta : db.changeLogStable);
    } else {
        job.detailsUrl = itemDetailsUrl(settings.siteCatalogue, id, catalogueLanguageTag(UserDefaultLcid()));
    }
    QString title = IsPluginFoundOnline(sources.checkState.OnlineRecords, fileName, OnlineField::Name);
    if (title.isEmpty())
        title = item.Name;
    if (const qsizetype bracket = title.lastIndexOf('('_L1); bracket > 0)
        title = title.left(bracket);
    auto* dialog = new TAddonInfo(parts, item, title.trimmed(), job, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    dialog->start();
    if (window)
        *window = dialog;
    return ItemInfoOutcome::WindowOpened;
}

} // namespace quillon::ui
