#include "inventory/version_tags.h"

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

constexpr std::size_t noTagIndex = 2; // "Pß"

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
    // Folding once and searching the folded tags is what a case-insensitive search of each tag
    // does, without folding the text five times.
    static const QStringList foldedTags = [] {
        QStringList list;
        for (const TagRow& row : tagTable())
            list.append(row.tag.toCaseFolded());
        return list;
    }();
    const QString folded = text.toCaseFolded();
    for (int i = 0; i < int(tagTable().size()); ++i) {
        if (folded.contains(foldedTags.at(i)))
            return {tagTable()[std::size_t(i)].tag, tagTable()[std::size_t(i)].rank, i};
    }
    // A text without a tag still needs a suffix search; it uses the public-beta tag.
    return {tagTable()[noTagIndex].tag, RankFinal, int(noTagIndex)};
}

} // namespace quillon
