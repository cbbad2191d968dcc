#pragma once
// The Configuration page: a control for every option of the settings file that the user sets.
// A change goes into the settings at once, so the next job and the next fetch use it; the
// settings file is written at shutdown. Laid out to fit the window's smallest width in every
// language: captions wrap, and a field goes under its label when both do not fit in a row.
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/settings_values.h"
#include "tcdetect/tc_installations.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QFormLayout;
class QRadioButton;
class QScrollArea;
class QThread;
class QVBoxLayout;

namespace quillon {
class CommandLine;
class IniDocument;
class Language;
class Prompter;
class System;
struct TcLocation;
namespace platform {
class DailyCheckTimer;
struct DailyCheckState;
} // namespace platform
} // namespace quillon

namespace quillon::ui {

class ButtonCaption;

// What the page reads and changes.
struct ConfigPageParts {
    const Language& language;
    SettingValues& settings;
    IniDocument& settingsStore; // the Wine prefix chosen here is remembered in it
    System& system;             // paths expanded; the Wine program and prefix in use
    Prompter& prompter;
    const CommandLine& commandLine; // "safe" and "notc" lock options
    const TcLocation& tc;           // the wincmd.ini found
};

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    explicit ConfigPage(const ConfigPageParts& parts, QWidget* parent = nullptr);
    ~ConfigPage() override;
    void retranslate();
    // The values as they stand in the settings (after start-up or a pass that changed them).
    void showValues();
    // The prefix was named with --wine-prefix: it stays for this run, the row only shows it.
    void setPrefixFromCommandLine(bool named);
    // The systemctl the daily check switch runs (tests give a stand-in).
    void setDailyCheckTimer(std::shared_ptr<const platform::DailyCheckTimer> timer);

signals:
    // A proxy or time-out option changed: the fetcher takes the new values.
    void connectionChanged();
    // The user chose another Wine prefix (stored as the remembered choice): the program starts
    // again on it.
    void installationChosen(const quillon::TcInstallation& chosen);
    // A switch of the daily check ended (with its state read back).
    void dailyCheckShown();
    // The list of installations found in the prefixes is shown.
    void installationsShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Caption {
        QWidget* widget;
        const char* section;
        const char* key;
        const char* english;
    };
    struct NamedChoice {
        const char* key;
        const char* english;
    };
    struct ChoiceName {
        QComboBox* box;
        int index;
        const char* section;
        const char* key;
        const char* english;
    };
    struct BoolOption {
        const char* objectName;
        const char* key; // CaptionsMainFrm
        const char* english;
        bool SettingValues::*field;
    };
    QWidget* buildTotalCommander();
    QWidget* buildPlugins();
    QWidget* buildDownload();
    QWidget* buildConnection();
    QWidget* buildWindow();
    QWidget* buildUserDb();
    void addBoolOptions(QVBoxLayout* layout, std::initializer_list<BoolOption> options);
    // A check box or radio button with a wrapping caption, its caption registered.
    QWidget* captioned(QAbstractButton* button, const char* key, const char* english);
    // edit with a "Browse..." button beside it that runs browse.
    QWidget* browseField(QLineEdit* edit, const std::function<void()>& browse);
    QWidget* folderField(QLineEdit* edit);
    void addWineRows(QFormLayout* form);
    void addDailyCheck(QVBoxLayout* layout);
    void caption(QWidget* widget, const char* section, const char* key, const char* english);
    // The names of box's items from index 0 on, set with the language.
    void nameChoices(QComboBox* box, const char* section, std::initializer_list<NamedChoice> names);
    // Wine prefix row
    void findInstallations();
    void showInstallations();
    void choosePrefix(const QString& prefix);
    QString prefixInUse() const;
    // Daily check row
    void readDailyCheck();
    void switchDailyCheck(bool on);
    void showDailyCheck(const platform::DailyCheckState& state, bool switched);
    // work on a thread of its own; done on this page's thread unless the page is gone.
    void offThread(std::function<void()> work, std::function<void()> done);

    ConfigPageParts m_parts;
    QList<Caption> m_captions;
    QList<ChoiceName> m_choiceNames;
    QList<std::function<void()>> m_loaders; // show the settings' values in the controls
    QRadioButton* rb_AutoDetect = nullptr;
    ButtonCaption* m_autoDetectCaption = nullptr;
    QLineEdit* edit_PluginFile = nullptr;
    QLineEdit* edit_DLDir = nullptr;
    QComboBox* cb_DownloadPackage = nullptr;
    QScrollArea* m_scroll = nullptr;
    QList<QPointer<QThread>> m_threads;
    // Wine prefix
    QLineEdit* edit_WinePrefix = nullptr;
    QWidget* m_prefixBrowse = nullptr;
    QComboBox* cb_Installations = nullptr;
    QList<TcInstallation> m_installations;
    bool m_installationsSearched = false;
    bool m_searching = false;
    bool m_prefixFromCommandLine = false;
    // Daily check
    QCheckBox* cb_DailyCheck = nullptr;
    std::shared_ptr<const platform::DailyCheckTimer> m_dailyTimer;
    bool m_dailyRead = false;
    QString m_dailyError; // why the state is unknown
};

} // namespace quillon::ui
