#pragma once
// The Configuration page: a control for every option of the settings file that the user sets.
// A change goes into the settings at once, so the next job and the next fetch use it; the
// settings file is written at shutdown.
#include <QList>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;

namespace quillon {
class AppCore;
}

namespace quillon::ui {

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    explicit ConfigPage(AppCore& core, QWidget* parent = nullptr);
    void retranslate();
    // The values as they stand in the settings (after start-up or a pass that changed them).
    void showValues();

signals:
    // A proxy or time-out option changed: the fetcher takes the new values.
    void connectionChanged();

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
    QWidget* buildTotalCommander();
    QWidget* buildPlugins();
    QWidget* buildDownload();
    QWidget* buildConnection();
    QWidget* buildWindow();
    QWidget* buildUserDb();
    // edit with a "Browse..." button beside it that runs browse.
    QWidget* browseField(QLineEdit* edit, const std::function<void()>& browse);
    QWidget* folderField(QLineEdit* edit);
    QLabel* wineLabel();
    QWidget* wineField();
    void caption(QWidget* widget, const char* section, const char* key, const char* english);

    AppCore& m_core;
    QList<Caption> m_captions;
    QList<std::function<void()>> m_loaders; // show the settings' values in the controls
    QRadioButton* rb_AutoDetect = nullptr;
    QRadioButton* rb_LoadAllPlugin = nullptr;
    QRadioButton* rb_ManualFile = nullptr;
    QLineEdit* edit_PluginFile = nullptr;
    QLineEdit* edit_DLDir = nullptr;
    QComboBox* cb_DownloadPackage = nullptr;
    QScrollArea* m_scroll = nullptr;
};

} // namespace quillon::ui
