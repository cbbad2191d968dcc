#pragma once
// Pre-release words are written as short tags before versions are compared. A text's tag is the
// first of "RC", "PB", "Pß", "ß", "α" that it contains (letter case ignored); its rank says how far
// it is from a final release.
#include <QString>
#include <QStringList>

namespace quillon {

enum VersionRank : int {
    RankFinal = 0,
    RankReleaseCandidate = 1,
    RankBeta = 3, // public beta and beta alike; there is no rank 2
    RankAlpha = 4,
};

struct VersionTag {
    QString Tag; // the tag whose suffix is searched; "Pß" for a text without any tag
    int Rank = RankFinal;
    int Index = 2; // position of Tag in VersionTags()
};

// The tags in the order they are looked for.
const QStringList& VersionTags();

VersionTag VersionTagOf(const QString& text);

} // namespace quillon
