// The add-on information window against the fixture server: description and history, an answer
// without history, no answer, forum identifiers; links in the description; the checksum switch.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "app/common/checksums.h"
#include "app/settings.h"
#include "gui/gui_fixture.h"
#include "inventory/update_list.h"
#include "support/fixture_server.h"
#include "support/test_support.h"
#include "ui/addon_info.h"
#include "ui/description_browser.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

class AddonInfoTest : public test::GuiCoreTest {
protected:
    static AddonInfoParts windowParts(AppCore& core) {
        return {core.language(), core.settings().values, core.stores(), core.prompter()};
    }
    static ItemInfoSources sources(AppCore& core) {
        return {windowParts(core), core.updateCheckState(), core.pageFetcher(), core.databaseState()};
    }
};

TEST_F(AddonInfoTest, DetailsFromTheCatalogue) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty()) << "the fixture server did not start";
    auto core = start(server.base());
    const UpdateItem mine = core->updateList().row(rowOf(*core, u"mine.wlx64"_s));
    enum class Expect { History, NoHistory, ErrorBox, Forum };
    struct Case {
        const char* websiteId;
        Expect expect;
        const char* text; // in the description, the history, the error or the opened page
    };
    const Case cases[] = {
        {"samplefs", Expect::History, "version 3.2 <20.03.2024>\nFirst release"},
        {"7zip", Expect::NoHistory, "7Zip plugin"},
        {"nosuchplugin", Expect::ErrorBox, "Error: No internet connection / invalid proxy settings."},
        {"12345", Expect::Forum, "forum/board/viewtopic.php?t=12345"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.websiteId);
        core->stores().userDb.setValue(u"mine"_s, u"WebsiteID"_s, QString::fromLatin1(c.websiteId));
        prompter.clearMessages();
        opened.urls.clear();
        TAddonInfo* window = nullptr;
        const ItemInfoOutcome outcome = ShowItemInfoDialog(sources(*core), mine, nullptr, &window);
        if (c.expect == Expect::Forum) {
            EXPECT_EQ(outcome, ItemInfoOutcome::ForumOpened);
            EXPECT_EQ(opened.urls, QStringList{server.base() + QString::fromLatin1(c.text)});
            continue;
        }
        ASSERT_EQ(outcome, ItemInfoOutcome::WindowOpened);
        const QPointer<TAddonInfo> guard(window);
        QSignalSpy shown(window, &TAddonInfo::detailsShown);
        QSignalSpy failed(window, &TAddonInfo::detailsFailed);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty() || !failed.isEmpty(); }, 15000));
        if (c.expect == Expect::ErrorBox) {
            ASSERT_EQ(prompter.messages().size(), 1);
            EXPECT_EQ(prompter.messages().first().text, QString::fromLatin1(c.text));
            if (TAddonInfo* left = guard.data(); left != nullptr) {
                EXPECT_FALSE(left->isVisible());
            }
            continue;
        }
        auto* browser = window->findChild<DescriptionBrowser*>();
        auto* history = window->findChild<QGroupBox*>(u"gb_VersionHistory"_s);
        EXPECT_EQ(history->isVisible(), c.expect == Expect::History);
        const QString shownText = c.expect == Expect::History
                                      ? window->findChild<QPlainTextEdit*>()->toPlainText()
                                      : browser->toPlainText();
        EXPECT_TRUE(shownText.contains(QString::fromUtf8(c.text))) << shownText.toStdString();

        // A link of the page opens the browser and the window stays on its page; a link to a
        // local file opens nothing.
        const QString before = browser->toHtml();
        emit browser->anchorClicked(QUrl(server.base() + u"download.php?id=x"_s));
        emit browser->anchorClicked(QUrl(u"file:///etc/passwd"_s));
        EXPECT_EQ(opened.urls, QStringList{server.base() + u"download.php?id=x"_s});
        EXPECT_EQ(browser->toHtml(), before);
        window->close();
    }

    // No identifier anywhere: a message and no network.
    prompter.clearMessages();
    const UpdateItem other = core->updateList().row(rowOf(*core, u"other.wfx64"_s));
    EXPECT_EQ(ShowItemInfoDialog(sources(*core), other, nullptr), ItemInfoOutcome::NoIdentifier);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages().first().text.contains(u"Reason: Database entry not found."_s));
}

TEST_F(AddonInfoTest, ChecksumSwitchTwiceReturnsAndTheChoicePersists) {
    const QString file = tcDir + u"/plugins/wlx/mine/mine.wlx64"_s;
    {
        auto core = start();
        const UpdateItem mine = core->updateList().row(rowOf(*core, u"mine.wlx64"_s));
        TAddonInfo window(windowParts(*core), mine, u"Mine"_s, {});
        auto* button = window.findChild<QAbstractButton*>(u"btn_switchMd5Crc32"_s);
        auto* field = window.findChild<QLineEdit*>(u"edt_checksum"_s);
        const QString md5 = *FileMd5Hex(file);
        const QString crc = QString::number(FileCrc32OrZero(file));
        EXPECT_EQ(button->text() + field->text(), u"MD5:"_s + md5);
        button->click();
        EXPECT_EQ(button->text() + field->text(), u"CRC:"_s + crc);
        button->click();
        EXPECT_EQ(button->text() + field->text(), u"MD5:"_s + md5);
        button->click();
        ASSERT_TRUE(core->shutDown());
    }
    auto core = start();
    const UpdateItem mine = core->updateList().row(rowOf(*core, u"mine.wlx64"_s));
    TAddonInfo window(windowParts(*core), mine, u"Mine"_s, {});
    EXPECT_EQ(window.findChild<QAbstractButton*>(u"btn_switchMd5Crc32"_s)->text(), u"CRC:"_s);
}

} // namespace
} // namespace quillon::ui
