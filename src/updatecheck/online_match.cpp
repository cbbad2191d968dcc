#include "updatecheck/online_match.h"

#include <algorithm>

#include "inventory/update_item.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString withoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString underscored(QString text) {
    return text.replace(u' ', u'_');
}

QString answerFor(const OnlineRecord& record, OnlineField what) {
    switch (what) {
    case OnlineField::Identifier:
        return record.matchKey();
    case OnlineField::Name:
        return record.displayName();
    case OnlineField::Platform:
        return record.platform();
    case OnlineField::Platform2:
        return record.platform2();
    }
    return {};
}

QString noAnswer(OnlineField what) {
    return what == OnlineField::Platform ? u"x32"_s : QString();
}

} // namespace

OnlineMatchKey MatchKeyFor(const IniDocument& userDb, const IniDocument& pluginDb,
                           const DatabaseSwitches& switches, const QString& filePath) {
    OnlineMatchKey result;
    result.key = WebsiteIdentifier(userDb, pluginDb, switches, filePath);
    const bool userId =
        !switches.ignoreUserDb && !EntryValue(userDb, filePath, QString(dbkey::WebsiteID)).isEmpty();
    result.hasIdentifier = userId || switches.databaseEnabled;
    return result;
}

QString FileExtensionOf(const QString& filePath) {
    const QString name = entryFileName(filePath);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString BareNameForm(const QString& key) {
    QString bare = withoutExtension(key.toLower());
    for (const auto marker :
         {"wcx_"_L1, "wfx_"_L1, "wlx_"_L1, "wdx_"_L1, "_wcx"_L1, "_wfx"_L1, "_wlx"_L1, "_wdx"_L1})
        bare.remove(marker);
    for (const auto marker : {"wcx"_L1, "wfx"_L1, "wlx"_L1, "wdx"_L1})
        bare.remove(marker);
    return bare;
}

QStringList OnlineNameForms(const QString& key, const QString& extension, bool hasIdentifier) {
    const QString k = key.toLower();
    const QString x = extension.toLower();
    const QString k_ = underscored(k);
    const QString base = withoutExtension(k);
    const QString base_ = underscored(base);
    QString bare = base;
    bare.remove(u'_');

    QStringList forms{k};
    if (k == kChecksumDbPath)
        forms.append(QString(kPluginDbPath));
    forms << k_ << k_ + u'_' + x << bare + x << bare << x + u'_' + k_ << x + base_ << base_ + x;
    if (!hasIdentifier)
        forms.append(BareNameForm(k));
    return forms;
}

QList<int> MatchingRecordPositions(const OnlineList& list, const QStringList& forms) {
    QList<int> positions;
    for (const QString& form : forms)
        positions += list.positionsOf(form);
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

QStringList FileNameForms(const QString& fileName) {
    const QString name = entryFileName(fileName).toLower();
    const QString x = FileExtensionOf(name);
    const QString base = withoutExtension(name);
    const QString base_ = underscored(base);
    return {base, base_, base_ + u'_' + x, x + u'_' + base_, x + base_, base_ + x, BareNameForm(name)};
}

QString IsPluginFoundOnline(const OnlineList& list, const QString& fileName, OnlineField what,
                            const QString& matchKey) {
    QStringList forms = FileNameForms(fileName);
    if (what == OnlineField::Name && !matchKey.isEmpty())
        forms.prepend(matchKey.trimmed().toLower());
    const QList<int> positions = MatchingRecordPositions(list, forms);
    if (positions.isEmpty())
        return noAnswer(what);
    return answerFor(list.records().at(positions.first()), what);
}

namespace detail {

QString IsPluginFoundOnlineScan(const QStringList& lines, const QString& fileName, OnlineField what,
                                const QString& matchKey) {
    const QStringList forms = FileNameForms(fileName);
    const QString key = matchKey.trimmed().toLower();
    OnlineRecord record;
    for (const QString& line : lines) {
        if (!SplitOnlineRecord(line, record))
            continue;
        const QString id = record.matchKey();
        if ((what == OnlineField::Name && !key.isEmpty() && id == key) || forms.contains(id))
            return answerFor(record, what);
    }
    return noAnswer(what);
}

} // namespace detail

} // namespace quillon
