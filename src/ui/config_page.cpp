#include "config_page.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include "app/command_line.h"
#include "app/language.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/system.h"
#include "config_form.h"
#include "install/request_builder.h"
#include "platform/daily_check_timer.h"
#include "tcdetect/tc_location.h"
#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

// Total Commander runs under Wine everywhere but on Windows.
#ifdef Q_OS_WIN
constexpr bool kWineWorld = false;
#else
constexpr bool kWineWorld = true;
#endif

} // namespace

ConfigPage::ConfigPage(const ConfigPageParts& parts, QWidget* parent)
    : QWidget(parent), m_parts(parts), m_dailyTimer(std::make_shared<platform::DailyCheckTimer>()) {
    setObjectName(u"TabConfig"_s);
    auto* content = new QWidget;
    content->setObjectName(u"ConfigContent"_s);
    // One column: the page scrolls down, never sideways, and every row fits its width.
    auto* column = new QVBoxLayout(content);
    for (QWidget* group : {buildTotalCommander(), buildPlugins(), buildDownload(), buildConnection(),
                           buildWindow(), buildUserDb()})
        column->addWidget(group);
    column->addStretch(1);
    auto* scroll = new QScrollArea(this);
    m_scroll = scroll;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    // A wheel turned while scrolling down the page must not change the number or choice that
    // happens to pass under the pointer: only a field with the focus takes it.
    for (QWidget* field : findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractSpinBox*>(field) || qobject_cast<QComboBox*>(field)) {
            field->setFocusPolicy(Qt::StrongFocus);
            field->installEventFilter(this);
        }
    }

    if (m_parts.commandLine.safe()) {
        for (const char* name : {"cb_IntelliPlugVer", "cb_DoNotLoad3rdPApps", "cb_InstallPackages"})
            findChild<QCheckBox*>(QString::fromLatin1(name))->setEnabled(false);
    }
    showValues();
}

ConfigPage::~ConfigPage() {
    // A look into the prefixes or a call of systemctl ends within its limit; its result is dropped.
    for (const QPointer<QThread>& thread : m_threads) {
        if (thread)
            thread->wait();
    }
}

void ConfigPage::offThread(std::function<void()> work, std::function<void()> done) {
    QThread* thread = QThread::create(std::move(work));
    m_threads.removeAll(nullptr);
    m_threads.append(thread);
    connect(thread, &QThread::finished, this, std::move(done));
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

bool ConfigPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        if (auto* field = qobject_cast<QWidget*>(watched); field && !field->hasFocus()) {
            QCoreApplication::sendEvent(m_scroll->viewport(), event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConfigPage::showEvent(QShowEvent* event) {
    // The same settings change elsewhere too (the list's exclusions, the database browser).
    showValues();
    if (kWineWorld) {
        if (!m_installationsSearched)
            findInstallations();
        if (!m_dailyRead)
            readDailyCheck();
    }
    QWidget::showEvent(event);
}

void ConfigPage::caption(QWidget* widget, const char* section, const char* key, const char* english) {
    m_captions.append({widget, section, key, english});
}

void ConfigPage::nameChoices(QComboBox* box, const char* section, std::initializer_list<NamedChoice> names) {
    int index = 0;
    for (const NamedChoice& name : names)
        m_choiceNames.append({box, index++, section, name.key, name.english});
}

void ConfigPage::showValues() {
    for (const auto& load : m_loaders)
        load();
    if (m_parts.commandLine.notc()) {
        auto* box = findChild<QCheckBox*>(u"cb_DoNotDetectTC"_s);
        box->setChecked(false);
        box->setEnabled(false);
    }
}

void ConfigPage::retranslate() {
    const Language& lng = m_parts.language;
    for (const Caption& c : m_captions) {
        QString text = uiText(lng, c.section, c.key, c.english);
        if (c.widget == m_autoDetectCaption)
            text = Language::ReplacePlaceholders(text, {u"wincmd.ini"_s, {}, {}});
        if (auto* box = qobject_cast<QGroupBox*>(c.widget))
            box->setTitle(text);
        else if (auto* buttonCaption = qobject_cast<ButtonCaption*>(c.widget))
            buttonCaption->setCaption(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(c.widget))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(c.widget))
            label->setText(text);
        else if (auto* combo = qobject_cast<QComboBox*>(c.widget))
            combo->setPlaceholderText(text);
    }
    // The choices' names; a box sized to its contents follows them.
    for (const ChoiceName& c : m_choiceNames)
        c.box->setItemText(c.index, uiText(lng, c.section, c.key, c.english));
    // No name cut off: a box is never narrower than its longest name; when the row has no room
    // for it beside its caption, the form puts it under the caption.
    for (const ChoiceName& c : m_choiceNames) {
        if (c.index == 0)
            c.box->setMinimumWidth(c.box->sizeHint().width());
    }
    rb_AutoDetect->setToolTip(m_parts.tc.iniFile);
    edit_PluginFile->setToolTip(uiText(lng, "Hints", "ManualFile",
                                       "A file in the format of wincmd.ini that lists the plugins to check"));
    if (kWineWorld) {
        showInstallations();
        edit_WinePrefix->setToolTip(m_prefixFromCommandLine
                                        ? uiText(lng, "CaptionsMainFrm", "Config_WinePrefixFromCommandLine",
                                                 "Given on the command line (--wine-prefix) for this run")
                                        : QString());
        if (!m_dailyError.isEmpty())
            cb_DailyCheck->setToolTip(lng.format(u"CaptionsMainFrm"_s, u"Config_DailyCheckUnavailable"_s,
                                                 u"The daily check is not available: %s"_s,
                                                 {m_dailyError, {}, {}}));
    }
}

QWidget* ConfigPage::captioned(QAbstractButton* button, const char* key, const char* english) {
    ButtonCaption* label = nullptr;
    QWidget* row = captionedButton(button, &label);
    caption(label, "CaptionsMainFrm", key, english);
    return row;
}

void ConfigPage::addBoolOptions(QVBoxLayout* layout, std::initializer_list<BoolOption> options) {
    SettingValues& values = m_parts.settings;
    for (const BoolOption& option : options) {
        auto* box = new QCheckBox;
        box->setObjectName(QString::fromLatin1(option.objectName));
        layout->addWidget(captioned(box, option.key, option.english));
        connect(box, &QCheckBox::toggled, this,
                [&values, field = option.field](bool on) { values.*field = on; });
        m_loaders.append([box, &values, field = option.field] { box->setChecked(values.*field); });
    }
}

QWidget* ConfigPage::browseField(QLineEdit* edit, const std::function<void()>& browse) {
    auto* field = new QWidget;
    field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(field);
    row->setContentsMargins(0, 0, 0, 0);
    auto* button = new QPushButton(field);
    button->setObjectName(edit->objectName() + u"_Browse"_s);
    caption(button, "Buttons", "BtnBrowse", "Browse...");
    // A path needs room to be read: below this the field goes under its caption instead.
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 26);
    row->addWidget(edit, 1);
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, browse);
    return field;
}

QWidget* ConfigPage::folderField(QLineEdit* edit) {
    return browseField(edit, [this, edit] {
        const QString start = m_parts.system.expandEnvPath(edit->text().trimmed());
        const QString folder = QFileDialog::getExistingDirectory(this, QString(), start);
        if (!folder.isEmpty())
            edit->setText(QDir::toNativeSeparators(folder) + QDir::separator());
    });
}

QWidget* ConfigPage::buildTotalCommander() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_TC", "Total Commander");
    auto* layout = new QVBoxLayout(group);
    addBoolOptions(layout,
                   {
                       {"cb_DoNotDetectTC", "Config_DoNotDetectTC",
                        "Do not detect && search updates of Total Commander", &SettingValues::tcDisabled},
                       {"cb_ProductionEnv", "Config_ProductionEnv",
                        "Production Environment - do not accept BETA releases as an update",
                        &SettingValues::tcDoNotAcceptBeta},
                       {"cb_IntelliSubVer", "Config_IntelliSubVer",
                        "Intelligent sub-version detection of beta builds", &SettingValues::tcIntelliDetect},
                       {"cb_DevCompareMethod", "Config_DevCompareMethod",
                        "Compare Total Commander's versions by build", &SettingValues::tcDevCompareMethod},
                   });
    SettingValues& values = m_parts.settings;
    QFormLayout* form = wrappingForm();
    QLabel* packageLabel = formLabel();
    caption(packageLabel, "CaptionsMainFrm", "Config_DownloadPackage", "Package to download:");
    // The three kinds the package selector offers; their names come with the language.
    QComboBox* packageBox = choiceBox(u"cb_DownloadPackage"_s, 3);
    nameChoices(packageBox, "CaptionsPackageSelector",
                {{"rb_Unified", "x86+x64 (unified)"}, {"rb_x86", "x86 only"}, {"rb_x64", "x64 only"}});
    cb_DownloadPackage = packageBox;
    form->addRow(packageLabel, packageBox);
    if (kWineWorld)
        addWineRows(form);
    layout->addLayout(form);
    connect(packageBox, &QComboBox::activated, this, [packageBox, &values](int index) {
        values.tcDownloadPackage = static_cast<PackageChoice>(packageBox->itemData(index).toInt());
    });
    m_loaders.append([packageBox, &values] {
        // A stored value names its kind through a set of numbers; one outside every set is shown
        // as it is and kept until the user picks a kind.
        const PackageChoice value = values.tcDownloadPackage;
        switch (PackageKindOf(value)) {
        case PackageKind::Unified:
            showChoice(packageBox, 3, 0);
            break;
        case PackageKind::X86:
            showChoice(packageBox, 3, 1);
            break;
        case PackageKind::X64:
            showChoice(packageBox, 3, 2);
            break;
        case PackageKind::None:
            showChoice(packageBox, 3, modeNumber(value));
            break;
        }
    });
    return group;
}

QWidget* ConfigPage::buildPlugins() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Plugins", "Plugin detection");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_parts.settings;

    rb_AutoDetect = new QRadioButton;
    auto* rb_LoadAllPlugin = new QRadioButton;
    auto* rb_ManualFile = new QRadioButton;
    rb_AutoDetect->setObjectName(u"rb_AutoDetect"_s);
    rb_LoadAllPlugin->setObjectName(u"rb_LoadAllPlugin"_s);
    rb_ManualFile->setObjectName(u"rb_ManualFile"_s);
    // The three sit in separate rows: one group keeps them exclusive.
    auto* modeGroup = new QButtonGroup(group);
    const QList<QRadioButton*> modes = {rb_AutoDetect, rb_LoadAllPlugin, rb_ManualFile};
    for (QRadioButton* button : modes)
        modeGroup->addButton(button);
    layout->addWidget(captioned(rb_AutoDetect, "Config_DetectionMode1",
                                "Detect the installed plugins automatically based on %s"));
    m_autoDetectCaption = qobject_cast<ButtonCaption*>(m_captions.last().widget);
    layout->addWidget(captioned(rb_LoadAllPlugin, "Config_DetectionMode2",
                                "Load every plugin found in the plugins directory"));
    layout->addWidget(
        captioned(rb_ManualFile, "Config_DetectionMode3", "Read the list of plugins from this file:"));
    edit_PluginFile = new QLineEdit;
    edit_PluginFile->setObjectName(u"edit_PluginFile"_s);
    layout->addWidget(browseField(edit_PluginFile, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), edit_PluginFile->text().trimmed());
        if (!file.isEmpty())
            edit_PluginFile->setText(file);
    }));
    for (int mode = 0; mode < modes.size(); ++mode) {
        connect(modes.at(mode), &QRadioButton::toggled, this, [&values, mode](bool on) {
            if (on)
                values.plugDetectionMode = static_cast<PluginDetection>(mode);
        });
    }
    connect(edit_PluginFile, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.plugManualFilePath = text.trimmed(); });
    m_loaders.append([this, modes, modeGroup, &values] {
        const int mode = modeNumber(values.plugDetectionMode);
        modeGroup->setExclusive(false);
        for (int m = 0; m < modes.size(); ++m)
            modes.at(m)->setChecked(m == mode);
        modeGroup->setExclusive(true);
        edit_PluginFile->setText(values.plugManualFilePath);
    });

    addBoolOptions(
        layout,
        {
            {"cb_DisablePluginDetection", "Config_DisablePluginDetection", "Do not detect plugins",
             &SettingValues::plugDisabled},
            {"cb_HidePlugins", "Config_HidePlugins", "Hide the plugins without version information",
             &SettingValues::plugAutoHideInvalid},
            {"cb_IntelliPlugVer", "Config_IntelliPlugVer", "Intelligent plugin version detection",
             &SettingValues::plugIntelliDetect},
            {"cb_DoNotLoad3rdPApps", "Config_DoNotLoad3rdPApps",
             "Do not detect external addons and utilities", &SettingValues::plugDisableExternal},
            {"cb_UpdateDateCheck", "Config_UpdateDateCheck",
             "Compare the file's date with the publication date", &SettingValues::plugUpdateDateCheck},
            {"cb_ForceSecondary", "Config_ForceSecondary", "Always search the second plugin directory",
             &SettingValues::plugForceSecondary},
            {"cb_TreatDateAsVer", "Config_TreatDateAsVer", "Treat a date as the version",
             &SettingValues::plugTreatDateAsVer},
            {"cb_ForceUseOfFN", "Config_ForceUseOfFN", "Match the catalogue by file name only",
             &SettingValues::plugForceUseOfFn},
            {"cb_OnlineNameCorr", "Config_OnlineNameCorr", "Take the names from the catalogue",
             &SettingValues::plugOnlineNameCorr},
            {"cb_VerCorrOnDateMatch", "Config_VerCorrOnDateMatch", "Correct the version when the dates match",
             &SettingValues::plugVerCorrOnDateMatch},
        });

    QFormLayout* form = wrappingForm();
    QLabel* daysLabel = formLabel();
    caption(daysLabel, "CaptionsMainFrm", "Config_PubDateDiffCorr",
            "Days of difference allowed between file and publication date:");
    auto* days = new QSpinBox;
    days->setObjectName(u"Config_PubDateDiffCorr"_s);
    days->setRange(0, 3650);
    form->addRow(daysLabel, days);
    connect(days, &QSpinBox::valueChanged, this, [&values](int v) { values.plugPubDateDiffCorr = v; });
    m_loaders.append([days, &values] { days->setValue(values.plugPubDateDiffCorr); });

    // Plugins/ChecksumDBstate: 0 off, 1 last resort, 2 first.
    QLabel* checksumLabel = formLabel();
    caption(checksumLabel, "CaptionsMainFrm", "Config_ChecksumDBstate", "Use of the checksum database:");
    QComboBox* checksum = choiceBox(u"Config_ChecksumDBstate"_s, 3);
    nameChoices(checksum, "CaptionsMainFrm",
                {{"Config_ChecksumDB0", "Not used for plugins"},
                 {"Config_ChecksumDB1", "Only when a file has no version"},
                 {"Config_ChecksumDB2", "First, before every other source"}});
    form->addRow(checksumLabel, checksum);
    m_loaders.append(
        [checksum, &values] { showChoice(checksum, 3, modeNumber(values.plugChecksumDbState)); });
    connect(checksum, &QComboBox::activated, this, [checksum, &values](int index) {
        values.plugChecksumDbState = static_cast<ChecksumDbUse>(checksum->itemData(index).toInt());
    });
    auto* secondaryLabel = formLabel();
    caption(secondaryLabel, "CaptionsMainFrm", "Config_SecondaryPlgDir", "Second plugin directory:");
    auto* secondary = new QLineEdit;
    secondary->setObjectName(u"edit_SecondaryPlgDir"_s);
    connect(secondary, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.plugSecondaryPlgDir = text.trimmed(); });
    m_loaders.append([secondary, &values] { secondary->setText(values.plugSecondaryPlgDir); });
    form->addRow(secondaryLabel, folderField(secondary));
    layout->addLayout(form);
    return group;
}

} // namespace quillon::ui
