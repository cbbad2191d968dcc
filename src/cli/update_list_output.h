#pragma once
// How `list` and `check` print the update list: an aligned table or one JSON document.
#include <QStringList>
#include <QTextStream>

namespace quillon {
class AppCore;
}

namespace quillon::cli {

// The rows, then a line of counts; the databases' problems go to err.
void PrintUpdateListTable(const AppCore& core, QTextStream& out, QTextStream& err);
// {"totalCommander", "items", "counts", "errors"}.
void PrintUpdateListJson(const AppCore& core, const QStringList& errors, QTextStream& out);

} // namespace quillon::cli
