// The Configuration page's rows that belong to the system around Total Commander (Linux): the
// Wine prefix with the installations found in the other prefixes, the Wine program, and the
// daily background check through the systemd user timer.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/system.h"
#include "config_form.h"
#include "config_page.h"
#include "engine/tc_installation_choice.h"
#include "platform/daily_check_timer.h"
#include "platform/wine_prefixes.h"
#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

// "~/.wine (wine)": the path first, as the user knows it; the manager that keeps it after.
QString installationText(const TcInstallation& found) {
    QString path = QDir::toNativeSeparators(found.prefix);
    const QString home = QDir::homePath();
    if (path.startsWith(home + u'/'))
        path = u'~' + path.mid(home.size());
    return path + u" ("_s + QString::fromLatin1(platform::prefixManagerName(found.manager)) + u')';
}

} // namespace

void ConfigPage::setPrefixFromCommandLine(bool named) {
    m_prefixFromCommandLine = named;
    if (!edit_WinePrefix)
        return;
    edit_WinePrefix->setReadOnly(named);
    m_prefixBrowse->setEnabled(!named);
    cb_Installations->setEnabled(!named);
    retranslate();
}

void ConfigPage::setDailyCheckTimer(std::shared_ptr<const platform::DailyCheckTimer> timer) {
    m_dailyTimer = std::move(timer);
    m_dailyRead = false;
    if (cb_DailyCheck && isVisible())
        readDailyCheck();
}

QString ConfigPage::prefixInUse() const {
    return QString::fromStdString(m_parts.system.platform().winePrefix());
}

void ConfigPage::addWineRows(QFormLayout* form) {
    QLabel* prefixLabel = formLabel();
    caption(prefixLabel, "CaptionsMainFrm", "Config_WinePrefix", "Wine prefix:");
    edit_WinePrefix = new QLineEdit;
    edit_WinePrefix->setObjectName(u"edit_WinePrefix"_s);
    QWidget* prefixField = browseField(edit_WinePrefix, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, QString(), edit_WinePrefix->text().trimmed());
        if (folder.isEmpty())
            return;
        edit_WinePrefix->setText(folder);
        choosePrefix(folder);
    });
    m_prefixBrowse = prefixField->findChild<QPushButton*>();
    form->addRow(prefixLabel, prefixField);
    // A typed path applies when the user leaves the field (Enter or another field).
    connect(edit_WinePrefix, &QLineEdit::editingFinished, this, [this] {
        if (!edit_WinePrefix->isReadOnly() && edit_WinePrefix->isModified()) {
            edit_WinePrefix->setModified(false);
            choosePrefix(edit_WinePrefix->text().trimmed());
        }
    });
    m_loaders.append([this] {
        edit_WinePrefix->setText(QDir::toNativeSeparators(prefixInUse()));
        edit_WinePrefix->setCursorPosition(0);
    });

    QLabel* foundLabel = formLabel();
    caption(foundLabel, "CaptionsMainFrm", "Config_WinePrefixFound", "Installations found:");
    cb_Installations = new QComboBox;
    cb_Installations->setObjectName(u"cb_Installations"_s);
    // Paths are long: the box takes the row's width and shows the start of a long one.
    cb_Installations->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cb_Installations->setMinimumContentsLength(16);
    cb_Installations->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    form->addRow(foundLabel, cb_Installations);
    connect(cb_Installations, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < m_installations.size())
            choosePrefix(m_installations.at(index).prefix);
    });

    // The Wine program that runs the bridge to Total Commander's window.
    QLabel* wineLabel = formLabel();
    caption(wineLabel, "CaptionsMainFrm", "Config_WineProgram", "Wine program (empty: found on the system):");
    auto* wine = new QLineEdit;
    wine->setObjectName(u"edit_WineProgram"_s);
    SettingValues& values = m_parts.settings;
    // Only the user's own edits apply at once: showing the values again must not undo a --wine
    // given for this run.
    const auto apply = [this, &values](const QString& text) {
        values.wineProgram = text.trimmed();
        m_parts.system.useWineProgram(values.wineProgram);
    };
    connect(wine, &QLineEdit::textEdited, this, apply);
    m_loaders.append([wine, &values] { wine->setText(values.wineProgram); });
    form->addRow(wineLabel, browseField(wine, [this, wine, apply] {
                     const QString file =
                         QFileDialog::getOpenFileName(this, QString(), wine->text().trimmed());
                     if (file.isEmpty())
                         return;
                     wine->setText(file);
                     apply(file);
                 }));
}

void ConfigPage::findInstallations() {
    m_installationsSearched = true;
    m_searching = true;
    showInstallations();
    auto found = std::make_shared<TcInstallationScan>();
    offThread([found] { *found = FindTcInstallations(); },
              [this, found] {
                  m_searching = false;
                  m_installations.clear();
                  for (const TcInstallation& one : found->installations) {
                      if (one.manager != platform::PrefixManager::Native)
                          m_installations.append(one);
                  }
                  showInstallations();
                  emit installationsShown();
              });
}

void ConfigPage::showInstallations() {
    if (!cb_Installations)
        return;
    const Language& lng = m_parts.language;
    cb_Installations->clear();
    int current = -1;
    const QString inUse = canonical(prefixInUse());
    for (const TcInstallation& found : m_installations) {
        cb_Installations->addItem(installationText(found), found.prefix);
        cb_Installations->setItemData(cb_Installations->count() - 1, QDir::toNativeSeparators(found.tcDir),
                                      Qt::ToolTipRole);
        if (!inUse.isEmpty() && canonical(found.prefix) == inUse)
            current = cb_Installations->count() - 1;
    }
    QString placeholder;
    if (m_searching)
        placeholder = uiText(lng, "CaptionsMainFrm", "Config_WinePrefixSearching", "Searching...");
    else if (m_installations.isEmpty())
        placeholder = uiText(lng, "CaptionsMainFrm", "Config_WinePrefixNoneFound", "None found");
    else
        placeholder = uiText(lng, "CaptionsMainFrm", "Config_WinePrefixPick", "Choose one to switch to it");
    cb_Installations->setPlaceholderText(placeholder);
    cb_Installations->setCurrentIndex(current);
    cb_Installations->setEnabled(!m_prefixFromCommandLine && !m_installations.isEmpty());
}

void ConfigPage::choosePrefix(const QString& typed) {
    if (m_prefixFromCommandLine)
        return;
    const QString prefix = QDir::fromNativeSeparators(m_parts.system.expandEnvPath(typed));
    if (prefix.isEmpty() || canonical(prefix) == canonical(prefixInUse())) {
        showValues();
        return;
    }
    if (!platform::isWinePrefixFolder(prefix.toStdString())) {
        const Language& lng = m_parts.language;
        m_parts.prompter.tell(PromptIcon::Error, uiText(lng, "ErrorMessages", "CaptionError", "Error"),
                              lng.format(u"CaptionsMainFrm"_s, u"Config_WinePrefixInvalid"_s,
                                         u"%s is not a Wine prefix."_s,
                                         {QDir::toNativeSeparators(prefix), {}, {}}));
        showValues();
        showInstallations();
        return;
    }
    TcInstallation chosen;
    chosen.prefix = prefix;
    for (const TcInstallation& found : m_installations) {
        if (canonical(found.prefix) == canonical(prefix))
            chosen = found;
    }
    // Remembered first: the program started again on it keeps to it, and so does the next start.
    RememberTcInstallation(m_parts.settingsStore, chosen);
    emit installationChosen(chosen);
}

void ConfigPage::addDailyCheck(QVBoxLayout* layout) {
    cb_DailyCheck = new QCheckBox;
    cb_DailyCheck->setObjectName(u"cb_DailyCheck"_s);
    cb_DailyCheck->setEnabled(false); // until systemctl said whether it is on
    layout->addWidget(
        captioned(cb_DailyCheck, "Config_DailyCheck", "Check for updates daily in the background"));
    // clicked: only the user's click switches the timer, showing its state does not.
    connect(cb_DailyCheck, &QCheckBox::clicked, this, [this](bool on) { switchDailyCheck(on); });
}

void ConfigPage::readDailyCheck() {
    m_dailyRead = true;
    cb_DailyCheck->setEnabled(false);
    auto state = std::make_shared<platform::DailyCheckState>();
    const std::shared_ptr<const platform::DailyCheckTimer> timer = m_dailyTimer;
    offThread([timer, state] { *state = timer->state(); }, [this, state] { showDailyCheck(*state, false); });
}

void ConfigPage::switchDailyCheck(bool on) {
    cb_DailyCheck->setEnabled(false);
    auto state = std::make_shared<platform::DailyCheckState>();
    const std::shared_ptr<const platform::DailyCheckTimer> timer = m_dailyTimer;
    offThread([timer, state, on] { *state = timer->setEnabled(on); },
              [this, state] { showDailyCheck(*state, true); });
}

void ConfigPage::showDailyCheck(const platform::DailyCheckState& state, bool switched) {
    cb_DailyCheck->setChecked(state.known && state.enabled);
    cb_DailyCheck->setEnabled(state.known);
    m_dailyError = state.known ? QString() : QString::fromStdString(state.error);
    cb_DailyCheck->setToolTip(QString());
    retranslate();
    if (switched && !state.error.empty()) {
        const Language& lng = m_parts.language;
        m_parts.prompter.tell(PromptIcon::Error, uiText(lng, "ErrorMessages", "CaptionError", "Error"),
                              lng.format(u"CaptionsMainFrm"_s, u"Config_DailyCheckFailed"_s,
                                         u"The daily check could not be switched: %s"_s,
                                         {QString::fromStdString(state.error), {}, {}}));
    }
    emit dailyCheckShown();
}

} // namespace quillon::ui
