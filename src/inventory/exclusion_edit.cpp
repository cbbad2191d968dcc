#include "inventory/exclusion_edit.h"

#include <QFileInfo>
#include <QSet>

#include "app/common/strings.h"
#include "inventory/exclusion_filter.h"
#include "inventory/update_item.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString directoryOf(const QString& filePath) {
    QString text = filePath.trimmed();
    text.replace('\\'_L1, '/'_L1);
    const qsizetype slash = text.lastIndexOf('/'_L1);
    return slash <= 0 ? text.left(qMax<qsizetype>(slash + 1, 0)) : text.left(slash);
}

bool samePlace(const QString& a, const QString& b) {
    const QString left = ExclusionFilter::comparable(a);
    return !left.isEmpty() && left == ExclusionFilter::comparable(b);
}

bool isTcExecutable(const QString& filePath, const ExclusionContext& context) {
    const QString name = QFileInfo(filePath.trimmed()).fileName();
    return name.compare("TOTALCMD.EXE"_L1, Qt::CaseInsensitive) == 0 ||
           name.compare("TOTALCMD64.EXE"_L1, Qt::CaseInsensitive) == 0 ||
           (!context.tcExeFile.isEmpty() &&
            name.compare(QFileInfo(context.tcExeFile).fileName(), Qt::CaseInsensitive) == 0);
}

// Every path of the list (shown rows and the snapshot, which also holds the filtered-out ones).
QStringList knownPaths(const UpdateList& list) {
    QStringList paths;
    QSet<QString> seen;
    auto add = [&](const QString& path) {
        const QString key = ExclusionFilter::comparable(path);
        if (!key.isEmpty() && !seen.contains(key)) {
            seen.insert(key);
            paths.append(path);
        }
    };
    for (const UpdateItem& row : list.rows())
        add(row.FilePath);
    for (const SnapshotLine& line : list.snapshot().lines())
        add(line.FilePath);
    for (int g = 1; g < kGroupCount; ++g) {
        for (const QString& path : list.groupLists().list(static_cast<ItemGroup>(g)).filePaths())
            add(path);
    }
    return paths;
}

} // namespace

bool canExclude(const QString& filePath, ExcludeMode mode, const ExclusionContext& context) {
    const QString path = filePath.trimmed();
    if (path.isEmpty() || isDatabasePseudoPath(path))
        return false;
    if (mode == ExcludeMode::File)
        return !samePlace(path, context.programPath);
    const QString directory = directoryOf(path);
    return !directory.isEmpty() && !samePlace(directory, context.tcDir) &&
           !samePlace(directory, directoryOf(context.programPath));
}

ExcludeResult ExcludeItemFromList(UpdateList& list, QStringList& exceptionList, const QString& filePath,
                                  ExcludeMode mode, const ExclusionContext& context) {
    ExcludeResult result;
    if (!canExclude(filePath, mode, context))
        return result;
    const QString target = mode == ExcludeMode::File ? filePath.trimmed() : directoryOf(filePath);
    // The path keeps its letter case: Linux file systems tell names apart by it, and the filter
    // compares without regard to case anyway.
    result.line = context.toEnvPath ? context.toEnvPath(target) : target;
    result.excluded = true;
    exceptionList.append(result.line);
    SortUnique(exceptionList);

    // The rows that go now are the ones the next pass leaves out, decided by the same filter.
    const ExclusionFilter filter({result.line}, context.expand, context.tcDir);
    for (const QString& path : knownPaths(list)) {
        if (filter.excludes(path))
            result.rowsRemoved += list.excludePath(path);
    }
    result.doNotDetectTc = mode == ExcludeMode::File && isTcExecutable(filePath, context);
    return result;
}

} // namespace quillon
