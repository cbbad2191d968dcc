// Shows the main window on the sample installation, runs the update check, and writes a PNG of
// every page, of the download window during and after a pass, of the package selector and of the
// windows that tell what an item is (taken from the display with xwd) into the output folder:
//   quillon-screenshots --wine-prefix P --settings-dir S --lang ENG --out DIR
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QPointer>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

#include "addon_info.h"
#include "app/language.h"
#include "app/settings.h"
#include "app/system.h"
#include "download_window.h"
#include "engine/app_core.h"
#include "gui_options.h"
#include "info_box.h"
#include "inventory/update_list.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "package_chooser.h"
#include "plugin_db_browser.h"
#include "update_list_view.h"
#include "update_page.h"
#include "user_db_modify.h"

using namespace Qt::StringLiterals;

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(QObject* sender, const char* signal, int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    return loop.exec() == 0;
}

// xwd reads the window as the X server shows it; convert writes the PNG.
bool capture(const QWidget& window, const QString& file) {
    QProcess xwd;
    QProcess convert;
    xwd.setStandardOutputProcess(&convert);
    xwd.start(u"xwd"_s, {u"-silent"_s, u"-id"_s, QString::number(window.winId())});
    convert.start(u"convert"_s, {u"xwd:-"_s, u"png:"_s + file});
    return xwd.waitForFinished(20000) && convert.waitForFinished(20000) && xwd.exitCode() == 0 &&
           convert.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    QString out;
    const qsizetype outAt = arguments.indexOf(u"--out"_s);
    if (outAt > 0 && outAt + 1 < arguments.size()) {
        out = arguments.at(outAt + 1);
        arguments.remove(outAt, 2);
    }
    const quillon::ui::GuiOptions options = quillon::ui::parseGuiArguments(arguments);
    if (out.isEmpty() || !options.error.isEmpty()) {
        std::fprintf(stderr,
                     "usage: quillon-screenshots --wine-prefix P --settings-dir S --lang L --out DIR\n");
        return 2;
    }
    // A display without fonts draws boxes and says nothing.
    if (QFontDatabase::families().isEmpty()) {
        std::fprintf(stderr, "quillon-screenshots: no font family resolved\n");
        return 1;
    }

    quillon::ui::MessageBoxPrompter prompter;
    prompter.setUnattendedAnswer(quillon::PromptAnswer::No);
    quillon::platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = options.winePrefix.toStdString();
    quillon::AppCore core(prompter, platformOptions);
    quillon::StartOptions startOptions;
    startOptions.settingsDir = options.settingsDir;
    startOptions.language = options.language;
    core.startUp(quillon::CommandLine(options.programArguments), startOptions);

    quillon::ui::Ttc_Updater window(core, prompter);
    prompter.setParentWindow(&window);
    window.resize(720, 620);
    window.show();
    if (!waitFor(&window, SIGNAL(inventoryFinished()), 30000)) {
        std::fprintf(stderr, "quillon-screenshots: the list was not filled\n");
        return 1;
    }
    window.btn_SearchUpdatesClick();
    if (!waitFor(&window, SIGNAL(checkFinished()), 60000)) {
        std::fprintf(stderr, "quillon-screenshots: the check did not end\n");
        return 1;
    }
    window.updatePage().view().setFocus();
    const QString lang = core.language().currentShortName().toLower();
    auto* pages = window.findChild<QTabWidget*>(u"tcUpdater_Pages"_s);
    const QStringList names = {u"update"_s, u"configuration"_s, u"userdb"_s, u"about"_s};
    int failures = 0;
    for (int page = 0; page < names.size(); ++page) {
        pages->setCurrentIndex(page);
        settle(400);
        const QString file = out + u"/main-"_s + names.at(page) + u'-' + lang + u".png"_s;
        if (!capture(window, file)) {
            std::fprintf(stderr, "quillon-screenshots: %s was not written\n", qPrintable(file));
            ++failures;
        }
    }
    // The list and the Configuration page at the narrowest and at a wide window, the page also
    // scrolled to its end: nothing may be cut off in any language.
    for (const int width : {520, 1200}) {
        // From the screen's left edge: a wide window must not reach past the screen's right.
        window.move(0, 0);
        window.resize(width, 620);
        for (const int page : {0, 1}) {
            pages->setCurrentIndex(page);
            settle(400);
            const QString stem =
                out + u"/main-"_s + names.at(page) + u'-' + lang + u'-' + QString::number(width);
            if (!capture(window, stem + u".png"_s)) {
                std::fprintf(stderr, "quillon-screenshots: %s.png was not written\n", qPrintable(stem));
                ++failures;
            }
            if (auto* scroll = pages->currentWidget()->findChild<QScrollArea*>()) {
                QScrollBar* bar = scroll->verticalScrollBar();
                for (const auto& [part, value] :
                     {std::pair{u"-mid"_s, bar->maximum() / 2}, std::pair{u"-end"_s, bar->maximum()}}) {
                    bar->setValue(value);
                    settle(300);
                    if (!capture(window, stem + part + u".png"_s))
                        ++failures;
                }
                bar->setValue(0);
            }
        }
    }
    window.resize(720, 620);
    pages->setCurrentIndex(0);
    const auto captureOrCount = [&](const QWidget& shown, const QString& name) {
        const QString file = out + u'/' + name + u'-' + lang + u".png"_s;
        if (!capture(shown, file)) {
            std::fprintf(stderr, "quillon-screenshots: %s was not written\n", qPrintable(file));
            ++failures;
        }
    };
    // The windows that tell what an item is, for the sample packer's row.
    int packer = -1;
    for (int row = 0; row < core.updateList().rowCount() && packer < 0; ++row) {
        if (core.updateList().row(row).FilePath.endsWith(u"sampack.wcx64"_s))
            packer = row;
    }
    if (packer >= 0) {
        const quillon::UpdateItem item = core.updateList().row(packer);
        window.updatePage().selectRow(packer);
        if (auto* info = window.findChild<quillon::ui::TInfobox*>()) {
            info->setActive(true);
            info->showItem(item.FilePath, item.Name);
            settle(400);
            captureOrCount(*info, u"infobox"_s);
            info->setActive(false);
        }
        quillon::ui::TAddonInfo* addon = nullptr;
        const quillon::ui::AddonInfoParts addonParts{core.language(), core.settings().values, core.stores(),
                                                     core.prompter()};
        quillon::ui::ShowItemInfoDialog(
            {addonParts, core.updateCheckState(), core.pageFetcher(), core.databaseState()}, item, &window,
            &addon);
        if (addon) {
            QPointer<quillon::ui::TAddonInfo> shown(addon);
            waitFor(addon, SIGNAL(detailsShown()), 20000);
            settle(400);
            if (shown) {
                shown->resize(460, 480);
                settle(300);
                captureOrCount(*shown, u"addon-info"_s);
                shown->close();
            }
        }
        quillon::ui::TUserDBModify editor(
            {core.language(), core.settings().values, core.stores(), core.prompter()}, item.FilePath,
            QString(), &window);
        editor.show();
        settle(400);
        captureOrCount(editor, u"userdb-editor"_s);
        editor.close();
        quillon::ui::TPluginDB browser({core.language(), core.settings().values, core.stores(),
                                        core.updateCheckState(), core.prompter(), core.settingsDir()},
                                       item.FilePath, &window);
        browser.resize(680, 540);
        browser.show();
        settle(400);
        captureOrCount(browser, u"database-browser"_s);
        browser.close();
    }
    {
        // Shown without waiting for an answer: only its picture is wanted.
        quillon::ui::TChooseTCpackage chooser(core.language(), &window);
        chooser.show();
        settle(400);
        captureOrCount(chooser, u"package-chooser"_s);
        chooser.close();
    }
    // The download window in the middle of a pass: the packages trickle in from the same site.
    QString& catalogue = core.settings().values.siteCatalogue;
    const QString plainCatalogue = catalogue;
    catalogue += u"fault/trickle/40/"_s;
    window.btn_UpdateSelectedClick();
    if (quillon::ui::TDownloadFiles* download = window.downloadWindow()) {
        download->resize(560, 300);
        settle(1500);
        captureOrCount(*download, u"download-running"_s);
        prompter.setUnattendedAnswer(quillon::PromptAnswer::Yes); // "abort the current task?"
        const QPointer<quillon::ui::TDownloadFiles> running(download);
        download->btn_CancelClick();
        for (int waited = 0; running && waited < 10000; waited += 100)
            settle(100);
        prompter.setUnattendedAnswer(quillon::PromptAnswer::No);
    } else {
        std::fprintf(stderr, "quillon-screenshots: no download window opened\n");
        ++failures;
    }
    catalogue = plainCatalogue;
    // What the cancelled pass completed would give the next one's files other names.
    const QString downloads = core.settings().expandedDownloadDir(core.system());
    for (const QString& name : QDir(downloads).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(downloads + u'/' + name);
    // The download window over the marked rows, once their files arrived.
    window.btn_UpdateSelectedClick();
    if (quillon::ui::TDownloadFiles* download = window.downloadWindow()) {
        download->resize(560, 300);
        if (download->isTransferring() && !waitFor(download, SIGNAL(passFinished()), 60000))
            std::fprintf(stderr, "quillon-screenshots: the download did not end\n");
        settle(400);
        captureOrCount(*download, u"download"_s);
        download->close();
    } else {
        std::fprintf(stderr, "quillon-screenshots: no download window opened\n");
        ++failures;
    }
    for (const QString& text : prompter.unattendedTexts())
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    window.close();
    return failures == 0 ? 0 : 1;
}
