#pragma once
// What `quillon-cli update --dry-run` prints: per request what would be downloaded, the files its
// installation would write, replace and remove, and what the backup would hold.
#include <QString>
#include <QTextStream>

namespace quillon {
struct RequestPreview;
struct UpdatePreviewResult;
} // namespace quillon

namespace quillon::cli {

// "install", "download" (only), "failed" or "cancelled": what the real pass would do.
QString PreviewOutcome(const RequestPreview& request);
// Anything the real pass would fail, or the preview was cancelled.
bool PreviewUnfinished(const UpdatePreviewResult& result);

// {"dryRun": true, "requests": [{"item", "url", "file", "size", "result", "reason", "itemDir",
// "writes", "replaces", "removes", "backup": {"archive", "adds", "keeps"} | null, "skipped",
// "closesTotalCommander", "deletesPackage"}], "counts": {"requests", "install", "download",
// "failed", "cancelled"}, "errors": [...]}
void PrintUpdatePreviewJson(const UpdatePreviewResult& result, QTextStream& out);
// A line per request with its details indented below, a summary; errors to err.
void PrintUpdatePreviewText(const UpdatePreviewResult& result, QTextStream& out, QTextStream& err);

} // namespace quillon::cli
