#include "updatecheck/item_pages.h"

#include <QStringEncoder>

#include "app/settings_values.h"
#include "updatecheck/online_list.h"
#include "updatecheck/online_match.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString forumAddress(const ItemPageContext& context, WebsiteIdKind kind, const QString& target) {
    const QString query = kind == WebsiteIdKind::ForumTopic ? u"t="_s : u"p="_s;
    return context.settings.siteForum + u"board/viewtopic.php?"_s + query + target;
}

// Forum references and catalogue identifiers alike.
QString addressForIdentifier(const ItemPageContext& context, const QString& identifier) {
    const WebsiteIdKind kind = classifyWebsiteId(identifier);
    const QString target = websiteIdTarget(identifier);
    if (kind != WebsiteIdKind::Catalogue)
        return forumAddress(context, kind, target);
    const QString& site =
        context.russianSystem ? context.settings.siteCatalogueRu : context.settings.siteCatalogue;
    return site + u"plugring/"_s + target + u".html"_s;
}

bool keptInFormEncoding(uchar c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '*';
}

} // namespace

QString catalogueIdentifier(const ItemPageContext& context, const QString& filePath) {
    const QString fromDatabases =
        EntryLookup(context.userDb, context.pluginDb, context.switches, filePath, dbkey::WebsiteID);
    if (!fromDatabases.isEmpty())
        return fromDatabases;
    return IsPluginFoundOnline(context.online, filePath, OnlineField::Identifier);
}

QString directLink(const ItemPageContext& context, const QString& filePath) {
    return EntryLookup(context.userDb, context.pluginDb, context.switches, filePath, dbkey::DirectLink);
}

QString authorAddress(const ItemPageContext& context, const QString& filePath) {
    return EntryLookup(context.userDb, context.pluginDb, context.switches, filePath, dbkey::AuthorURL);
}

QString itemPageAddress(const ItemPageContext& context, const QString& filePath, bool tcRow) {
    const QString identifier = catalogueIdentifier(context, filePath);
    if (!identifier.isEmpty())
        return addressForIdentifier(context, identifier);
    if (!tcRow)
        return {};
    return context.settings.siteTotalCommander +
           (context.settings.tcDoNotAcceptBeta ? u"download.htm"_s : u"whatsnew.htm"_s);
}

QString authorPageAddress(const ItemPageContext& context, const QString& filePath) {
    const QString author = authorAddress(context, filePath);
    if (author.isEmpty())
        return {};
    const WebsiteIdKind kind = classifyWebsiteId(author);
    if (kind == WebsiteIdKind::Catalogue)
        return author;
    return forumAddress(context, kind, websiteIdTarget(author));
}

QString webSearchAddress(const QString& searchEngine, const QString& itemName) {
    QString name = itemName.trimmed();
    const qsizetype bracket = name.lastIndexOf(u'(');
    if (bracket >= 0)
        name = name.left(bracket).trimmed();
    QString query = u'"' + name + u'"';
    if (name.compare("Total Commander"_L1, Qt::CaseInsensitive) != 0)
        query += u" Total Commander"_s;

    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(query)) : query.toLatin1();
    QString encoded;
    for (const char byte : bytes) {
        const auto c = static_cast<uchar>(byte);
        if (keptInFormEncoding(c))
            encoded += QLatin1Char(byte);
        else if (c == ' ')
            encoded += u'+';
        else
            encoded += u'%' + QString::number(c, 16).rightJustified(2, u'0');
    }
    QString address = searchEngine;
    return address.replace("%s"_L1, encoded, Qt::CaseInsensitive);
}

} // namespace quillon
