#include "cli/update_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "app/common/strings.h"
#include "cli/terminal_text.h"
#include "install/installer.h"
#include "install/transfer_engine.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {

int UpdateReport::count(const QString& result) const {
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [&](const RequestReport& r) { return r.result == result; }));
}

bool UpdateReport::anyUnfinished() const {
    return count(u"failed"_s) > 0 || count(u"cancelled"_s) > 0;
}

QList<RequestReport> RequestReports(const TransferEngine& engine, const QList<InstallStepResult>& installs) {
    QList<RequestReport> reports;
    const QList<TransferRow>& rows = engine.rows();
    for (int i = 0; i < engine.requests().size(); ++i) {
        RequestReport report;
        report.item = engine.requests().at(i).ItemPath;
        const TransferRow* row = i < rows.size() ? &rows.at(i) : nullptr;
        const InstallStepResult* install = i < installs.size() ? &installs.at(i) : nullptr;
        report.file = row ? row->localPath : QString();
        if (row && row->state == TransferState::Cancelled) {
            report.result = u"cancelled"_s;
        } else if (!row || row->state != TransferState::Done) {
            report.result = u"failed"_s;
            report.reason = row && !row->error.isEmpty() ? row->error : u"not downloaded"_s;
        } else if (install && install->outcome == InstallStepResult::Outcome::Installed) {
            report.result = u"installed"_s;
        } else if (install && install->outcome == InstallStepResult::Outcome::Failed) {
            report.result = u"failed"_s;
            report.reason = install->error;
            if (!install->failedFiles.isEmpty())
                report.reason +=
                    u": "_s + FirstItems(install->failedFiles, 20, u"and %s more"_s).join(u", "_s);
        } else {
            report.result = u"downloaded"_s;
        }
        reports.append(report);
    }
    return reports;
}

void PrintUpdateReportJson(const UpdateReport& report, QTextStream& out) {
    QJsonArray items;
    for (const RequestReport& r : report.requests)
        items.append(QJsonObject{
            {u"item"_s, r.item}, {u"file"_s, r.file}, {u"result"_s, r.result}, {u"reason"_s, r.reason}});
    QJsonObject document{
        {u"requests"_s, items},
        {u"counts"_s, QJsonObject{{u"requests"_s, static_cast<int>(report.requests.size())},
                                  {u"installed"_s, report.count(u"installed"_s)},
                                  {u"downloaded"_s, report.count(u"downloaded"_s)},
                                  {u"failed"_s, report.count(u"failed"_s)},
                                  {u"cancelled"_s, report.count(u"cancelled"_s)}}},
        {u"errors"_s, QJsonArray::fromStringList(report.errors)},
    };
    if (report.reload)
        document.insert(u"reload"_s, QJsonObject{{u"items"_s, report.reload->items},
                                                 {u"updatable"_s, report.reload->updatable}});
    if (report.restartRequired)
        document.insert(u"restartRequired"_s, true);
    out << QJsonDocument(document).toJson(QJsonDocument::Indented);
}

void PrintUpdateReportText(const UpdateReport& report, QTextStream& out, QTextStream& err) {
    for (const RequestReport& r : report.requests) {
        out << r.result.leftJustified(11) << TerminalSafe(r.item);
        if (!r.reason.isEmpty())
            out << " (" << TerminalSafe(r.reason) << ')';
        out << '\n';
    }
    out << u"%1 request(s): %2 installed, %3 downloaded, %4 failed"_s.arg(report.requests.size())
               .arg(report.count(u"installed"_s))
               .arg(report.count(u"downloaded"_s))
               .arg(report.count(u"failed"_s));
    if (const int cancelled = report.count(u"cancelled"_s); cancelled > 0)
        out << u", %1 cancelled"_s.arg(cancelled);
    out << '\n';
    if (report.reload)
        out << u"reloaded: %1 items, %2 updatable"_s.arg(report.reload->items).arg(report.reload->updatable)
            << '\n';
    for (const QString& error : report.errors)
        err << "quillon-cli: " << TerminalSafe(error, LineBreaks::Keep) << '\n';
}

} // namespace quillon::cli
