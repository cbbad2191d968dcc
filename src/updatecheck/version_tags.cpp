#include "updatecheck/version_tags.h"

#include <array>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

struct TagRow {
    QString tag;
    int rank;
};

const std::array<TagRow, 5>& tagTable() {
    static const std::array<TagRow, 5> table{{
        {u"RC"_s, RankReleaseCandidate},
        {u"PB"_s, RankBeta},
        {u"Pß"_s, RankBeta},
        {u"ß"_s, RankBeta},
        {u"α"_s, RankAlpha},
    }};
    return table;
}

} // namespace

const QStringList& VersionTags() {
    static const QStringList tags = [] {
        QStringList list;
        for (const TagRow& row : tagTable())
            list.append(row.tag);
        return list;
    }();
    return tags;
}

VersionTag VersionTagOf(const QString& text) {
    for (const TagRow& row : tagTable()) {
        if (text.contains(row.tag, Qt::CaseInsensitive))
            return {row.tag, row.rank};
    }
    // A text without a tag still needs a suffix search; it uses the public-beta tag.
    return {u"Pß"_s, RankFinal};
}

} // namespace quillon
