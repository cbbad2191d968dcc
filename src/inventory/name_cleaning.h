#pragma once
// The display name of an update item: the product name of its version information cleaned of
// the words plugin authors put into product names, and the caption chosen from it, the name
// learned from the catalogue, or the file name.
#include <QString>

#include <QList>

namespace quillon {

// The file name of path without directory and extension.
QString fileStemOf(const QString& path);

// The cleaned name for a row: productName (or, when empty, the stem of versionPath) run through
// every cleaning step; empty when nothing usable is left. internalName stands in for a name
// that is just "wincmd"; a name that is only a generic word falls back to the stem of path.
QString CleanItemName(const QString& productName, const QString& internalName, const QString& versionPath,
                      const QString& path);

// The cleaning steps alone, on a name already taken from the version information.
QString CleanProductName(const QString& name, const QString& internalName, const QString& path);

struct CaptionInput {
    QString path;        // the row's file
    QString cleanedName; // CleanItemName's result
    QString onlineName;  // OnlineName remembered for the file, or empty
    bool forceUseOfFn = false;
    bool onlineNameCorr = true;
    bool appendX64 = false; // detection mode 1: a path ending in "64" gets " (x64)"
};

// One other row as the caption rule looks at it.
struct CaptionedRow {
    QString caption;
    QString filePath;
};

// The caption ItemCaption compares with the other rows' captions; empty when it compares none.
QString comparedCaption(const CaptionInput& input);

// Equal for two rows the caption rule may count as one caption (same caption and extension,
// letter case ignored); rows with different keys never are.
QString captionKey(const QString& caption, const QString& filePath);

// The caption of a new row. otherRows are the list's rows after the first one (the new row's
// own caption is still empty there).
QString ItemCaption(const CaptionInput& input, const QList<CaptionedRow>& otherRows);

} // namespace quillon
