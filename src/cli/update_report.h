#pragma once
// What `quillon-cli update` reports: one entry per download request, the counts, and what the
// end of the pass did (a reload after a database update, a restart that is due).
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace quillon {
class TransferEngine;
struct InstallStepResult;
} // namespace quillon

namespace quillon::cli {

struct RequestReport {
    QString item;
    QString file;
    QString result; // "installed", "downloaded", "failed", "cancelled"
    QString reason;
};

// The list after the reload that followed a database update.
struct ReloadCounts {
    int items = 0;
    int updatable = 0;
};

struct UpdateReport {
    QList<RequestReport> requests;
    QStringList errors;
    std::optional<ReloadCounts> reload;
    bool restartRequired = false;

    int count(const QString& result) const;
    // Anything failed or cancelled: the run did not do what it was asked.
    bool anyUnfinished() const;
};

// One entry per request of the pass; installs[i] is what became of request i's file.
QList<RequestReport> RequestReports(const TransferEngine& engine, const QList<InstallStepResult>& installs);

// {"requests": [{"item", "file", "result", "reason"}], "counts": {"requests", "installed",
// "downloaded", "failed", "cancelled"}, "errors": [...]}, plus "reload": {"items",
// "updatable"} after a reload and "restartRequired": true when Quillon must be started again.
void PrintUpdateReportJson(const UpdateReport& report, QTextStream& out);
// One line per request, the summary, the reload's line; errors to err.
void PrintUpdateReportText(const UpdateReport& report, QTextStream& out, QTextStream& err);

} // namespace quillon::cli
