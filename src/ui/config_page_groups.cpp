// The Configuration page's groups for downloads, the connection, the window and the user database.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "app/settings.h"
#include "config_form.h"
#include "config_page.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

QWidget* ConfigPage::buildDownload() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Download", "Download");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_parts.settings;
#ifndef Q_OS_WIN
    addDailyCheck(layout);
#endif
    QFormLayout* form = wrappingForm();
    edit_DLDir = new QLineEdit;
    edit_DLDir->setObjectName(u"edit_DLDir"_s);
    auto* tempDir = new QLineEdit;
    tempDir->setObjectName(u"edit_TempDir"_s);
    QLabel* dlLabel = formLabel();
    QLabel* tempLabel = formLabel();
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
    layout->addLayout(form);
    // A command line, not a path: the link is added to it as one more argument. Its caption is
    // long, so it always stands above the field.
    auto* manager = new QLineEdit;
    manager->setObjectName(u"edit_DownloadManager"_s);
    QLabel* managerLabel = formLabel();
    caption(managerLabel, "CaptionsMainFrm", "Config_DownloadManager",
            "Download manager command (empty: found on the system):");
    managerLabel->setBuddy(manager);
    layout->addWidget(managerLabel);
    layout->addWidget(manager);
    connect(manager, &QLineEdit::textChanged, this,
            [&values](const QString& text) { values.downloadManagerCommand = text.trimmed(); });
    m_loaders.append([manager, &values] { manager->setText(values.downloadManagerCommand); });
    addBoolOptions(
        layout, {
                    {"cb_InstallPackages", "Config_InstallPackages",
                     "Install the packages after successful download", &SettingValues::installAfterDl},
                    {"cb_VerifyAfterInstall", "Config_VerifyAfterInstall",
                     "Put back a replaced plugin that no longer loads", &SettingValues::verifyAfterInstall},
                    {"cb_NoSelfUpdate", "Config_NoSelfUpdate", "Do not offer updates of Quillon itself",
                     &SettingValues::noSelfUpdate},
                    {"cb_DatabaseEnabled", "Config_DatabaseEnabled", "Use the plugin database",
                     &SettingValues::databaseEnabled},
                    {"cb_ForceUseExtDB", "Config_ForceUseExtDB", "Always load the downloaded plugin database",
                     &SettingValues::forceUseExtDb},
                });

    // Configuration/PreInstallAction: which replaced files are backed up.
    QFormLayout* before = wrappingForm();
    QLabel* beforeLabel = formLabel();
    caption(beforeLabel, "CaptionsMainFrm", "Config_PreInstallAction", "Before installing:");
    QComboBox* backup = choiceBox(u"Config_PreInstallAction"_s, 3);
    nameChoices(backup, "CaptionsMainFrm",
                {{"Config_PreInstall0", "No backup"},
                 {"Config_PreInstall1", "Back up every replaced file"},
                 {"Config_PreInstall2", "Back up replaced text files only"}});
    before->addRow(beforeLabel, backup);
    layout->addLayout(before);
    connect(backup, &QComboBox::activated, this, [backup, &values](int index) {
        values.preInstallAction = static_cast<BackupBeforeInstall>(backup->itemData(index).toInt());
    });
    m_loaders.append([backup, &values] { showChoice(backup, 3, modeNumber(values.preInstallAction)); });

    // Configuration/PostInstallAction: flags, one box each. A stored number outside 0..7 does
    // nothing and shows no box checked; it is kept until a box is clicked.
    QLabel* afterLabel = formLabel();
    caption(afterLabel, "CaptionsMainFrm", "Config_PostInstallAction", "After installing:");
    layout->addWidget(afterLabel);
    auto* flags = new QWidget;
    flags->setObjectName(u"Config_PostInstallAction"_s);
    auto* flagRows = new QVBoxLayout(flags);
    flagRows->setContentsMargins(style()->pixelMetric(QStyle::PM_IndicatorWidth), 0, 0, 0);
    const struct {
        AfterInstall flag;
        const char* objectName;
        const char* key;
        const char* english;
    } flagOptions[] = {
        {AfterInstall::DeletePackage, "cb_PostInstallDeletePackage", "Config_PostInstallDeletePackage",
         "Delete the package when the download window closes"},
        {AfterInstall::DeleteInstallInfo, "cb_PostInstallDeleteInfo", "Config_PostInstallDeleteInfo",
         "Delete pluginst.inf after installing"},
        {AfterInstall::DeleteOtherBitness, "cb_PostInstallDeleteOther", "Config_PostInstallDeleteOther",
         "Delete the other bitness's extra file after installing"},
    };
    for (const auto& option : flagOptions) {
        auto* box = new QCheckBox;
        box->setObjectName(QString::fromLatin1(option.objectName));
        flagRows->addWidget(captioned(box, option.key, option.english));
        const int bit = modeNumber(option.flag);
        // clicked, not toggled: showing the stored value must not rewrite it.
        connect(box, &QCheckBox::clicked, this, [&values, bit](bool on) {
            int now = modeNumber(values.postInstallAction);
            if (now < 0 || now > 7)
                now = 0;
            values.postInstallAction = static_cast<AfterInstall>(on ? (now | bit) : (now & ~bit));
        });
        m_loaders.append([box, &values, bit] {
            const int now = modeNumber(values.postInstallAction);
            box->setChecked(now >= 0 && now <= 7 && (now & bit) != 0);
        });
    }
    layout->addWidget(flags);
    return group;
}

QWidget* ConfigPage::buildConnection() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Connection", "Connection");
    auto* layout = new QVBoxLayout(group);
    SettingValues& values = m_parts.settings;

    auto* proxyOn = new QCheckBox;
    proxyOn->setObjectName(u"cb_ProxyEnabled"_s);
    layout->addWidget(captioned(proxyOn, "Config_ProxyEnabled", "Use a proxy server"));
    connect(proxyOn, &QCheckBox::toggled, this, [this, &values](bool on) {
        values.proxyEnabled = on;
        emit connectionChanged();
    });
    m_loaders.append([proxyOn, &values] { proxyOn->setChecked(values.proxyEnabled); });

    QFormLayout* form = wrappingForm();
    QLabel* typeLabel = formLabel();
    caption(typeLabel, "CaptionsMainFrm", "Config_ProxyType", "Proxy type:");
    auto* type = new QComboBox;
    type->setObjectName(u"cb_ProxyType"_s);
    type->addItems({u"HTTP"_s, u"SOCKS4"_s, u"SOCKS5"_s});
    form->addRow(typeLabel, type);
    connect(type, &QComboBox::currentIndexChanged, this, [this, &values](int index) {
        values.proxyType = QString::number(index);
        emit connectionChanged();
    });
    m_loaders.append(
        [type, &values] { type->setCurrentIndex(std::clamp(values.proxyType.trimmed().toInt(), 0, 2)); });

    const struct {
        const char* key;
        const char* english;
        QString SettingValues::*field;
        bool password;
    } texts[] = {
        {"Config_ProxyAddress", "Proxy address:", &SettingValues::proxyAddress, false},
        {"Config_ProxyPort", "Proxy port:", &SettingValues::proxyPort, false},
        {"Config_ProxyUsername", "User name:", &SettingValues::proxyUsername, false},
        {"Config_ProxyPassword", "Password:", &SettingValues::proxyPassword, true},
        {"Config_SearchEngine", "Web search (%s: the words):", &SettingValues::searchEngine, false},
    };
    QList<QWidget*> proxyFields{type};
    for (const auto& option : texts) {
        QLabel* label = formLabel();
        caption(label, "CaptionsMainFrm", option.key, option.english);
        auto* edit = new QLineEdit;
        edit->setObjectName(u"edit_"_s + QString::fromLatin1(option.key).mid(7));
        if (option.password)
            edit->setEchoMode(QLineEdit::Password);
        form->addRow(label, edit);
        if (option.field != &SettingValues::searchEngine)
            proxyFields.append(edit);
        connect(edit, &QLineEdit::textChanged, this,
                [this, &values, field = option.field](const QString& text) {
                    values.*field = text.trimmed();
                    emit connectionChanged();
                });
        m_loaders.append([edit, &values, field = option.field] { edit->setText(values.*field); });
    }
    QLabel* timeoutLabel = formLabel();
    caption(timeoutLabel, "CaptionsMainFrm", "Config_HttpTimeOut", "Time-out of web requests (ms):");
    auto* timeout = new QSpinBox;
    timeout->setObjectName(u"edit_HttpTimeOut"_s);
    timeout->setRange(kHttpTimeOutMin, kHttpTimeOutMax);
    timeout->setSingleStep(500);
    form->addRow(timeoutLabel, timeout);
    layout->addLayout(form);
    connect(timeout, &QSpinBox::valueChanged, this, [this, &values](int v) {
        values.httpTimeOut = v;
        emit connectionChanged();
    });
    m_loaders.append([timeout, &values] { timeout->setValue(values.httpTimeOut); });
    QLabel* parallelLabel = formLabel();
    caption(parallelLabel, "CaptionsMainFrm", "Config_ParallelDownloads", "Parallel downloads:");
    auto* parallel = new QSpinBox;
    parallel->setObjectName(u"edit_ParallelDownloads"_s);
    parallel->setRange(kParallelDownloadsMin, kParallelDownloadsMax);
    form->addRow(parallelLabel, parallel);
    connect(parallel, &QSpinBox::valueChanged, this, [&values](int v) { values.parallelDownloads = v; });
    m_loaders.append([parallel, &values] { parallel->setValue(values.parallelDownloads); });
    // The proxy's details say nothing while no proxy is used.
    const auto followProxy = [proxyFields, form](bool on) {
        for (QWidget* field : proxyFields) {
            field->setEnabled(on);
            if (QWidget* label = form->labelForField(field))
                label->setEnabled(on);
        }
    };
    connect(proxyOn, &QCheckBox::toggled, this, followProxy);
    followProxy(proxyOn->isChecked());
    return group;
}

QWidget* ConfigPage::buildWindow() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_Window", "Window");
    auto* layout = new QVBoxLayout(group);
    addBoolOptions(layout, {
                               {"cb_ShowInfoBox", "Config_ShowInfoBox",
                                "Open the information window at start", &SettingValues::showInfoBox},
                               {"cb_ShowPlugIcons", "Config_ShowPlugIcons", "Show the plugins' icons",
                                &SettingValues::showPlugIcons},
                               {"cb_JumpToFirstUpd", "Config_JumpToFirstUpd",
                                "Select the first update after a search", &SettingValues::jumpToFirstUpd},
                               {"cb_ScrollOnUpdCheck", "Config_ScrollOnUpdCheck",
                                "Follow the search through the list", &SettingValues::scrollOnUpdCheck},
                               {"cb_AllowResize", "Config_AllowResize", "The window can be resized",
                                &SettingValues::allowResize},
                               {"cb_AlwaysSavePos", "Config_AlwaysSavePos", "Always save the window position",
                                &SettingValues::alwaysSavePos},
                               {"cb_ShowMenuShortcuts", "Config_ShowMenuShortcuts",
                                "Show the shortcuts in the menus", &SettingValues::showMenuShortcuts},
                               {"cb_ForceOriginalFont", "Config_ForceOriginalFont",
                                "Keep the program's own font", &SettingValues::forceOriginalFont},
                               {"cb_PrcMsgOnLoad", "Config_PrcMsgOnLoad",
                                "Lock the pages while the list loads", &SettingValues::prcMsgOnLoad},
                           });
    return group;
}

QWidget* ConfigPage::buildUserDb() {
    auto* group = new QGroupBox;
    caption(group, "CaptionsMainFrm", "Config_GB_UserDB", "User database");
    auto* layout = new QVBoxLayout(group);
    addBoolOptions(layout, {
                               {"cb_IgnoreUserDB", "Config_IgnoreUserDB", "Ignore the UserDB entries",
                                &SettingValues::ignoreUserDb},
                               {"cb_IgnoreExcList", "Config_IgnoreExcList", "Ignore the exception list",
                                &SettingValues::ignoreExceptionList},
                           });
    return group;
}

} // namespace quillon::ui
