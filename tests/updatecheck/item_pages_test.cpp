// The addresses an update-list row opens: catalogue, forum, author, release page, web search.
#include <gtest/gtest.h>

#include "app/ini_document.h"
#include "app/settings_values.h"
#include "updatecheck/item_pages.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(ItemPages, AddressesByIdentifierKindAndSystemLanguage) {
    IniDocument userDb;
    userDb.setText(
        u"[topic.wlx]\nWebsiteID=12345\n[post.wlx]\nWebsiteID=#678\n[word.wlx]\nWebsiteID=foo_bar\n"
        "AuthorURL=https://author.example/\n[fauthor.wlx]\nAuthorURL=#99\n"_s);
    IniDocument pluginDb;
    SettingValues sites;
    sites.siteCatalogue = u"http://cat/"_s;
    sites.siteCatalogueRu = u"http://ru/"_s;
    sites.siteForum = u"http://forum/"_s;
    sites.siteTotalCommander = u"http://tc/"_s;
    const OnlineList online(QStringList{u"known|Known|1.0|01.01.2024|packer|x64|"_s});

    struct Case {
        QString file;
        bool tcRow, russian, noBeta;
        QString page, author;
    };
    const Case cases[] = {
        {u"/p/topic.wlx"_s, false, false, false, u"http://forum/board/viewtopic.php?t=12345"_s, {}},
        {u"/p/post.wlx"_s, false, false, false, u"http://forum/board/viewtopic.php?p=678"_s, {}},
        {u"/p/word.wlx"_s, false, false, false, u"http://cat/plugring/foo_bar.html"_s,
         u"https://author.example/"_s},
        {u"/p/word.wlx"_s, false, true, false, u"http://ru/plugring/foo_bar.html"_s,
         u"https://author.example/"_s},
        {u"/p/fauthor.wlx"_s, false, false, false, {}, u"http://forum/board/viewtopic.php?p=99"_s},
        // Known only to the catalogue's list.
        {u"/p/known.wcx"_s, false, false, false, u"http://cat/plugring/known.html"_s, {}},
        {u"/tc/TOTALCMD64.EXE"_s, true, false, false, u"http://tc/whatsnew.htm"_s, {}},
        {u"/tc/TOTALCMD64.EXE"_s, true, false, true, u"http://tc/download.htm"_s, {}},
        {u"/p/nothing.wdx"_s, false, false, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        sites.tcDoNotAcceptBeta = c.noBeta;
        const ItemPageContext context{userDb, pluginDb, {}, online, sites, c.russian};
        EXPECT_EQ(itemPageAddress(context, c.file, c.tcRow), c.page);
        EXPECT_EQ(authorPageAddress(context, c.file), c.author);
    }
}

TEST(ItemPages, WebSearchQuotesTheNameAndFormEncodesInWindows1252) {
    const QString engine = u"http://search.example/search?q=%S&x=%s"_s;
    struct Case {
        QString name, query;
    };
    const Case cases[] = {
        {u"Sample Packer (x64)"_s, u"%22Sample+Packer%22+Total+Commander"_s},
        {u"total commander"_s, u"%22total+commander%22"_s},
        {u"Größe & Co_1.2*"_s, u"%22Gr%f6%dfe+%26+Co_1.2*%22+Total+Commander"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(webSearchAddress(engine, c.name),
                  u"http://search.example/search?q="_s + c.query + u"&x="_s + c.query);
}

} // namespace
} // namespace quillon
