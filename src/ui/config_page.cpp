#include "config_page.h"

#include <QAbstractButton>
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
#include <QVBoxLayout>

#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "install/request_builder.h"
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

struct BoolOption {
    const char* objectName;
    const char* key; // CaptionsMainFrm
    const char* english;
    bool SettingValues::*field;
};

struct IntOption {
    const char* key;
    const char* english;
    ModeField field;
    int minimum;
    int maximum;
};

struct TextOption {
    const char* key;
    const char* english;
    QString SettingValues::*field;
    bool password;
};

} // namespace

ConfigPage::ConfigPage(AppCore& core, QWidget* parent) : QWidget(parent), m_core(core) {
    setObjectName(u"TabConfig"_s);
    auto* content = new QWidget;
    // One column: the page scrolls down, never sideways.
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

    if (m_core.commandLine().safe()) {
        for (const char* name : {"cb_IntelliPlugVer", "cb_DoNotLoad3rdPApps", "cb_InstallPackages"})
            findChild<QCheckBox*>(QString::fromLatin1(name))->setEnabled(false);
    }
    showValues();
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
    QWidget::showEvent(event);
}

void ConfigPage::caption(QWidget* widget, const char* section, const char* key, const char* english) {
    m_captions.append({widget, section, key, english});
}

void ConfigPage::showValues() {
    for (const auto& load : m_loaders)
        load();
    if (m_core.commandLine().notc()) {
        auto* box = findChild<QCheckBox*>(u"cb_DoNotDetectTC"_s);
        box->setChecked(false);
        box->setEnabled(false);
    }
}

void ConfigPage::retranslate() {
    const Language& lng = m_core.language();
    for (const Caption& c : m_captions) {
        QString text = uiText(lng, c.section, c.key, c.english);
        if (c.widget == rb_AutoDetect)
            text = Language::ReplacePlaceholders(text, {u"wincmd.ini"_s, {}, {}});
        if (auto* box = qobject_cast<QGroupBox*>(c.widget))
            box->setTitle(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(c.widget))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(c.widget))
            label->setText(text);
    }
    const char* const packageKeys[] = {"rb_Unified", "rb_x86", "rb_x64"};
    const char* const packageNames[] = {"x86+x64 (unified)", "x86 only", "x64 only"};
    for (int i = 0; i < 3; ++i)
        cb_DownloadPackage->setItemText(
            i, uiText(lng, "CaptionsPackageSelector", packageKeys[i], packageNames[i]));
    rb_AutoDetect->setToolTip(m_core.TCIniFile());
    edit_PluginFile->setToolTip(uiText(lng, "Hints", "ManualFile",
                                       "A file in the format of wincmd.ini that lists the plugins to check"));
}

QWidget* ConfigPage::browseField(QLineEdit* edit, const std::function<void()>& browse) {
    auto* field = new QWidget;
    auto* row = new QHBoxLayout(field);
    row->setContentsMargins(0, 0, 0, 0);
    auto* button = new QPushButton(field);
    caption(button, "Buttons", "BtnBrowse", "Browse...");
    row->addWidget(edit, 1);
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, browse);
    return field;
}

QWidget* ConfigPage::folderField(QLineEdit* edit) {
    return browseField(edit, [this, edit] {
        const QString start = m_core.system().expandEnvPath(edit->text().trimmed());
        const QString folder = QFileDialog::getExistingDirectory(this, QString(), start);
        if (!folder.isEmpty())
            edit->setText(QDir::toNativeSeparators(folder) + QDir::separator());
    });
}

namespace {

QCheckBox* boolBox(QWidget* parent, const BoolOption& option) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(option.objectName));
    return box;
}

} // namespace

QWidget* ConfigPage::buildTotalCommander() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_TC", "Total Commander");
    auto* layout = new QVBoxLayout(group);
    const BoolOption options[] = {
        {"cb_DoNotDetectTC", "Config_DoNotDetectTC", "Do not detect && search updates of Total Commander",
         &SettingValues::tcDisabled},
        {"cb_ProductionEnv", "Config_ProductionEnv",
         "Production Environment - do not accept BETA releases as an update",
         &SettingValues::tcDoNotAcceptBeta},
        {"cb_IntelliSubVer", "Config_IntelliSubVer", "Intelligent sub-version detection of beta builds",
         &SettingValues::tcIntelliDetect},
        {"cb_DevCompareMethod", "Config_DevCompareMethod", "Compare Total Commander's versions by build",
         &SettingValues::tcDevCompareMethod},
    };
    SettingValues& values = m_core.settings().values;
    for (const BoolOption& option : options) {
        QCheckBox* box = boolBox(group, option);
        caption(box, "CaptionsMainFrm", option.key, option.english);
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [&values, field = option.field](bool on) { values.*field = on; });
        m_loaders.append([box, &values, field = option.field] { box->setChecked(values.*field); });
    }
    auto* package = new QFormLayout;
    auto* packageLabel = new QLabel;
    caption(packageLabel, "CaptionsMainFrm", "Config_DownloadPackage", "Package to download:");
    auto* packageBox = new QComboBox;
    packageBox->setObjectName(u"cb_DownloadPackage"_s);
    // The three kinds the package selector offers; their names come with the language.
    for (int choice : {0, 1, 2})
        packageBox->addItem(QString(), choice);
    cb_DownloadPackage = packageBox;
    package->addRow(packageLabel, packageBox);
    if (kWineWorld)
        package->addRow(wineLabel(), wineField());
    layout->addLayout(package);
    connect(packageBox, &QComboBox::activated, this, [packageBox, &values](int index) {
        values.tcDownloadPackage = static_cast<PackageChoice>(packageBox->itemData(index).toInt());
    });
    m_loaders.append([packageBox, &values] {
        // A stored value names its kind through a set of numbers; one outside every set is shown
        // as it is and kept until the user picks a kind.
        const PackageChoice value = values.tcDownloadPackage;
        while (packageBox->count() > 3)
            packageBox->removeItem(3);
        switch (PackageKindOf(value)) {
        case PackageKind::Unified:
            packageBox->setCurrentIndex(0);
            break;
        case PackageKind::X86:
            packageBox->setCurrentIndex(1);
            break;
        case PackageKind::X64:
            packageBox->setCurrentIndex(2);
            break;
        case PackageKind::None:
            packageBox->addItem(QString::number(modeNumber(value)), modeNumber(value));
            packageBox->setCurrentIndex(3);
            break;
        }
    });
    return group;
}

QLabel* ConfigPage::wineLabel() {
    auto* label = new QLabel;
    caption(label, "CaptionsMainFrm", "Config_WineProgram", "Wine program (empty: found on the system):");
    return label;
}

QWidget* ConfigPage::wineField() {
    auto* edit = new QLineEdit;
    edit->setObjectName(u"edit_WineProgram"_s);
    SettingValues& values = m_core.settings().values;
    // Only the user's own edits apply at once: showing the values again must not undo a --wine
    // given for this run.
    const auto apply = [this, &values](const QString& text) {
        values.wineProgram = text.trimmed();
        m_core.system().useWineProgram(values.wineProgram);
    };
    connect(edit, &QLineEdit::textEdited, this, apply);
    m_loaders.append([edit, &values] { edit->setText(values.wineProgram); });
    return browseField(edit, [this, edit, apply] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), edit->text().trimmed());
        if (file.isEmpty())
            return;
        edit->setText(file);
        apply(file);
    });
}

QWidget* ConfigPage::buildPlugins() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Plugins", "Plugin detection");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_core.settings().values;

    rb_AutoDetect = new QRadioButton(group);
    rb_LoadAllPlugin = new QRadioButton(group);
    rb_ManualFile = new QRadioButton(group);
    rb_AutoDetect->setObjectName(u"rb_AutoDetect"_s);
    rb_LoadAllPlugin->setObjectName(u"rb_LoadAllPlugin"_s);
    rb_ManualFile->setObjectName(u"rb_ManualFile"_s);
    caption(rb_AutoDetect, "CaptionsMainFrm", "Config_DetectionMode1",
            "Detect the installed plugins automatically based on %s");
    caption(rb_LoadAllPlugin, "CaptionsMainFrm", "Config_DetectionMode2",
            "Load every plugin found in the plugins directory");
    caption(rb_ManualFile, "CaptionsMainFrm", "Config_DetectionMode3",
            "Read the list of plugins from this file:");
    edit_PluginFile = new QLineEdit(group);
    edit_PluginFile->setObjectName(u"edit_PluginFile"_s);
    auto* browse = new QPushButton(group);
    caption(browse, "Buttons", "BtnBrowse", "Browse...");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(edit_PluginFile, 1);
    fileRow->addWidget(browse);
    layout->addWidget(rb_AutoDetect);
    layout->addWidget(rb_LoadAllPlugin);
    layout->addWidget(rb_ManualFile);
    layout->addLayout(fileRow);
    const QList<QRadioButton*> modes = {rb_AutoDetect, rb_LoadAllPlugin, rb_ManualFile};
    for (int mode = 0; mode < modes.size(); ++mode) {
        connect(modes.at(mode), &QRadioButton::toggled, this, [&values, mode](bool on) {
            if (on)
                values.plugDetectionMode = static_cast<PluginDetection>(mode);
        });
    }
    connect(edit_PluginFile, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.plugManualFilePath = text.trimmed(); });
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), edit_PluginFile->text().trimmed());
        if (!file.isEmpty())
            edit_PluginFile->setText(file);
    });
    m_loaders.append([this, modes, &values] {
        const int mode = modeNumber(values.plugDetectionMode);
        for (QRadioButton* button : modes)
            button->setAutoExclusive(false);
        for (int m = 0; m < modes.size(); ++m)
            modes.at(m)->setChecked(m == mode);
        for (QRadioButton* button : modes)
            button->setAutoExclusive(true);
        edit_PluginFile->setText(values.plugManualFilePath);
    });

    const BoolOption options[] = {
        {"cb_DisablePluginDetection", "Config_DisablePluginDetection", "Do not detect plugins",
         &SettingValues::plugDisabled},
        {"cb_HidePlugins", "Config_HidePlugins", "Hide the plugins without version information",
         &SettingValues::plugAutoHideInvalid},
        {"cb_IntelliPlugVer", "Config_IntelliPlugVer", "Intelligent plugin version detection",
         &SettingValues::plugIntelliDetect},
        {"cb_DoNotLoad3rdPApps", "Config_DoNotLoad3rdPApps", "Do not detect external addons and utilities",
         &SettingValues::plugDisableExternal},
        {"cb_UpdateDateCheck", "Config_UpdateDateCheck", "Compare the file's date with the publication date",
         &SettingValues::plugUpdateDateCheck},
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
    };
    for (const BoolOption& option : options) {
        QCheckBox* box = boolBox(group, option);
        caption(box, "CaptionsMainFrm", option.key, option.english);
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [&values, field = option.field](bool on) { values.*field = on; });
        m_loaders.append([box, &values, field = option.field] { box->setChecked(values.*field); });
    }
    auto* form = new QFormLayout;
    const IntOption ints[] = {
        {"Config_PubDateDiffCorr", "Days of difference allowed between file and publication date:",
         numberField<&SettingValues::plugPubDateDiffCorr>(), 0, 3650},
        {"Config_ChecksumDBstate",
         "Use of the checksum database (0-2):", numberField<&SettingValues::plugChecksumDbState>(), 0, 2},
    };
    for (const IntOption& option : ints) {
        auto* label = new QLabel;
        caption(label, "CaptionsMainFrm", option.key, option.english);
        auto* spin = new QSpinBox;
        spin->setObjectName(QString::fromLatin1(option.key));
        spin->setRange(option.minimum, option.maximum);
        form->addRow(label, spin);
        connect(spin, &QSpinBox::valueChanged, this,
                [&values, field = option.field](int v) { field.set(values, v); });
        m_loaders.append([spin, &values, field = option.field] { spin->setValue(field.get(values)); });
    }
    auto* secondaryLabel = new QLabel;
    caption(secondaryLabel, "CaptionsMainFrm", "Config_SecondaryPlgDir", "Second plugin directory:");
    auto* secondary = new QLineEdit;
    connect(secondary, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.plugSecondaryPlgDir = text.trimmed(); });
    m_loaders.append([secondary, &values] { secondary->setText(values.plugSecondaryPlgDir); });
    form->addRow(secondaryLabel, folderField(secondary));
    layout->addLayout(form);
    return group;
}

QWidget* ConfigPage::buildDownload() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Download", "Download");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_core.settings().values;
    auto* form = new QFormLayout;
    edit_DLDir = new QLineEdit;
    edit_DLDir->setObjectName(u"edit_DLDir"_s);
    auto* tempDir = new QLineEdit;
    tempDir->setObjectName(u"edit_TempDir"_s);
    auto* dlLabel = new QLabel;
    auto* tempLabel = new QLabel;
    caption(dlLabel, "CaptionsMainFrm", "Config_DownloadDir", "Download directory:");
    caption(tempLabel, "CaptionsMainFrm", "Config_TempDir", "Temporary directory:");
    form->addRow(dlLabel, folderField(edit_DLDir));
    form->addRow(tempLabel, folderField(tempDir));
    connect(edit_DLDir, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.downloadDir = text.trimmed(); });
    connect(tempDir, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.tempDirectory = text.trimmed(); });
    m_loaders.append([this, tempDir, &values] {
        edit_DLDir->setText(QDir::toNativeSeparators(values.downloadDir));
        edit_DLDir->setCursorPosition(static_cast<int>(edit_DLDir->text().size()));
        tempDir->setText(QDir::toNativeSeparators(values.tempDirectory));
    });
    // A command line, not a path: the link is added to it as one more argument.
    auto* manager = new QLineEdit;
    manager->setObjectName(u"edit_DownloadManager"_s);
    auto* managerLabel = new QLabel;
    caption(managerLabel, "CaptionsMainFrm", "Config_DownloadManager",
            "Download manager command (empty: found on the system):");
    form->addRow(managerLabel, manager);
    connect(manager, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.downloadManagerCommand = text.trimmed(); });
    m_loaders.append([manager, &values] { manager->setText(values.downloadManagerCommand); });
    layout->addLayout(form);
    const BoolOption options[] = {
        {"cb_InstallPackages", "Config_InstallPackages", "Install the packages after successful download",
         &SettingValues::installAfterDl},
        {"cb_NoSelfUpdate", "Config_NoSelfUpdate", "Do not offer updates of Quillon itself",
         &SettingValues::noSelfUpdate},
        {"cb_DatabaseEnabled", "Config_DatabaseEnabled", "Use the plugin database",
         &SettingValues::databaseEnabled},
        {"cb_ForceUseExtDB", "Config_ForceUseExtDB", "Always load the downloaded plugin database",
         &SettingValues::forceUseExtDb},
    };
    for (const BoolOption& option : options) {
        QCheckBox* box = boolBox(group, option);
        caption(box, "CaptionsMainFrm", option.key, option.english);
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [&values, field = option.field](bool on) { values.*field = on; });
        m_loaders.append([box, &values, field = option.field] { box->setChecked(values.*field); });
    }
    auto* actions = new QFormLayout;
    const IntOption ints[] = {
        {"Config_PreInstallAction",
         "Before installing (0-2):", numberField<&SettingValues::preInstallAction>(), 0, 2},
        // Flags: 1 deletes the package, 2 the installation file, 4 the other bitness's file.
        {"Config_PostInstallAction",
         "After installing (0-7):", numberField<&SettingValues::postInstallAction>(), 0, 7},
    };
    for (const IntOption& option : ints) {
        auto* label = new QLabel;
        caption(label, "CaptionsMainFrm", option.key, option.english);
        auto* spin = new QSpinBox;
        spin->setObjectName(QString::fromLatin1(option.key));
        spin->setRange(option.minimum, option.maximum);
        actions->addRow(label, spin);
        connect(spin, &QSpinBox::valueChanged, this,
                [&values, field = option.field](int v) { field.set(values, v); });
        m_loaders.append([spin, &values, field = option.field] { spin->setValue(field.get(values)); });
    }
    layout->addLayout(actions);
    return group;
}

QWidget* ConfigPage::buildConnection() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Connection", "Connection");
    auto* layout = new QFormLayout(group);
    SettingValues& values = m_core.settings().values;

    auto* proxyOn = new QCheckBox;
    proxyOn->setObjectName(u"cb_ProxyEnabled"_s);
    caption(proxyOn, "CaptionsMainFrm", "Config_ProxyEnabled", "Use a proxy server");
    layout->addRow(proxyOn);
    connect(proxyOn, &QCheckBox::toggled, this, [this, &values](bool on) {
        values.proxyEnabled = on;
        emit connectionChanged();
    });
    m_loaders.append([proxyOn, &values] { proxyOn->setChecked(values.proxyEnabled); });

    auto* typeLabel = new QLabel;
    caption(typeLabel, "CaptionsMainFrm", "Config_ProxyType", "Proxy type:");
    auto* type = new QComboBox;
    type->setObjectName(u"cb_ProxyType"_s);
    type->addItems({u"HTTP"_s, u"SOCKS4"_s, u"SOCKS5"_s});
    layout->addRow(typeLabel, type);
    connect(type, &QComboBox::currentIndexChanged, this, [this, &values](int index) {
        values.proxyType = QString::number(index);
        emit connectionChanged();
    });
    m_loaders.append(
        [type, &values] { type->setCurrentIndex(std::clamp(values.proxyType.trimmed().toInt(), 0, 2)); });

    const TextOption texts[] = {
        {"Config_ProxyAddress", "Proxy address:", &SettingValues::proxyAddress, false},
        {"Config_ProxyPort", "Proxy port:", &SettingValues::proxyPort, false},
        {"Config_ProxyUsername", "User name:", &SettingValues::proxyUsername, false},
        {"Config_ProxyPassword", "Password:", &SettingValues::proxyPassword, true},
        {"Config_SearchEngine", "Web search (%s: the words):", &SettingValues::searchEngine, false},
    };
    QList<QWidget*> proxyFields{type};
    for (const TextOption& option : texts) {
        auto* label = new QLabel;
        caption(label, "CaptionsMainFrm", option.key, option.english);
        auto* edit = new QLineEdit;
        edit->setObjectName(u"edit_"_s + QString::fromLatin1(option.key).mid(7));
        if (option.password)
            edit->setEchoMode(QLineEdit::Password);
        layout->addRow(label, edit);
        if (option.field != &SettingValues::searchEngine)
            proxyFields.append(edit);
        connect(edit, &QLineEdit::textChanged, this,
                [this, &values, field = option.field](const QString& text) {
                    values.*field = text.trimmed();
                    emit connectionChanged();
                });
        m_loaders.append([edit, &values, field = option.field] { edit->setText(values.*field); });
    }
    auto* timeoutLabel = new QLabel;
    caption(timeoutLabel, "CaptionsMainFrm", "Config_HttpTimeOut", "Time-out of web requests (ms):");
    auto* timeout = new QSpinBox;
    timeout->setObjectName(u"edit_HttpTimeOut"_s);
    timeout->setRange(kHttpTimeOutMin, kHttpTimeOutMax);
    timeout->setSingleStep(500);
    layout->addRow(timeoutLabel, timeout);
    connect(timeout, &QSpinBox::valueChanged, this, [this, &values](int v) {
        values.httpTimeOut = v;
        emit connectionChanged();
    });
    m_loaders.append([timeout, &values] { timeout->setValue(values.httpTimeOut); });
    // The proxy's details say nothing while no proxy is used.
    const auto followProxy = [proxyFields](bool on) {
        for (QWidget* field : proxyFields)
            field->setEnabled(on);
    };
    connect(proxyOn, &QCheckBox::toggled, this, followProxy);
    followProxy(proxyOn->isChecked());
    return group;
}

QWidget* ConfigPage::buildWindow() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Window", "Window");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_core.settings().values;
    const BoolOption options[] = {
        {"cb_ShowInfoBox", "Config_ShowInfoBox", "Open the information window at start",
         &SettingValues::showInfoBox},
        {"cb_ShowPlugIcons", "Config_ShowPlugIcons", "Show the plugins' icons",
         &SettingValues::showPlugIcons},
        {"cb_JumpToFirstUpd", "Config_JumpToFirstUpd", "Select the first update after a search",
         &SettingValues::jumpToFirstUpd},
        {"cb_ScrollOnUpdCheck", "Config_ScrollOnUpdCheck", "Follow the search through the list",
         &SettingValues::scrollOnUpdCheck},
        {"cb_AllowResize", "Config_AllowResize", "The window can be resized", &SettingValues::allowResize},
        {"cb_AlwaysSavePos", "Config_AlwaysSavePos", "Always save the window position",
         &SettingValues::alwaysSavePos},
        {"cb_ShowMenuShortcuts", "Config_ShowMenuShortcuts", "Show the shortcuts in the menus",
         &SettingValues::showMenuShortcuts},
        {"cb_ForceOriginalFont", "Config_ForceOriginalFont", "Keep the program's own font",
         &SettingValues::forceOriginalFont},
        {"cb_PrcMsgOnLoad", "Config_PrcMsgOnLoad", "Lock the pages while the list loads",
         &SettingValues::prcMsgOnLoad},
    };
    for (const BoolOption& option : options) {
        QCheckBox* box = boolBox(group, option);
        caption(box, "CaptionsMainFrm", option.key, option.english);
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [&values, field = option.field](bool on) { values.*field = on; });
        m_loaders.append([box, &values, field = option.field] { box->setChecked(values.*field); });
    }
    return group;
}

QWidget* ConfigPage::buildUserDb() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_UserDB", "User database");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_core.settings().values;
    const BoolOption options[] = {
        {"cb_IgnoreUserDB", "Config_IgnoreUserDB", "Ignore the UserDB entries", &SettingValues::ignoreUserDb},
        {"cb_IgnoreExcList", "Config_IgnoreExcList", "Ignore the exception list",
         &SettingValues::ignoreExceptionList},
    };
    for (const BoolOption& option : options) {
        QCheckBox* box = boolBox(group, option);
        caption(box, "CaptionsMainFrm", option.key, option.english);
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [&values, field = option.field](bool on) { values.*field = on; });
        m_loaders.append([box, &values, field = option.field] { box->setChecked(values.*field); });
    }
    return group;
}

} // namespace quillon::ui
