#include "cli/update_preview_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "cli/terminal_text.h"
#include "engine/update_preview.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

QString reasonOf(const RequestPreview& request) {
    return request.error.isEmpty() ? request.install.error : request.error;
}

int countOf(const UpdatePreviewResult& result, const QString& outcome) {
    return static_cast<int>(
        std::count_if(result.requests.begin(), result.requests.end(),
                      [&](const RequestPreview& r) { return PreviewOutcome(r) == outcome; }));
}

QString sizeText(qint64 size) {
    return size < 0 ? u"size unknown"_s : u"%1 bytes"_s.arg(size);
}

} // namespace

QString PreviewOutcome(const RequestPreview& request) {
    if (request.cancelled)
        return u"cancelled"_s;
    if (!request.error.isEmpty() || !request.install.error.isEmpty())
        return u"failed"_s;
    return request.install.installs ? u"install"_s : u"download"_s;
}

bool PreviewUnfinished(const UpdatePreviewResult& result) {
    return result.cancelled || countOf(result, u"failed"_s) > 0 || countOf(result, u"cancelled"_s) > 0;
}

void PrintUpdatePreviewJson(const UpdatePreviewResult& result, QTextStream& out) {
    QJsonArray items;
    for (const RequestPreview& r : result.requests) {
        const InstallPreview& install = r.install;
        QJsonValue backup = QJsonValue::Null;
        if (!install.backupArchive.isEmpty())
            backup = QJsonObject{{u"archive"_s, install.backupArchive},
                                 {u"adds"_s, QJsonArray::fromStringList(install.backupAdds)},
                                 {u"keeps"_s, QJsonArray::fromStringList(install.backupKeeps)}};
        items.append(QJsonObject{
            {u"item"_s, r.item},
            {u"url"_s, r.url},
            {u"file"_s, r.file},
            {u"size"_s, r.size < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(r.size)},
            {u"result"_s, PreviewOutcome(r)},
            {u"reason"_s, reasonOf(r)},
            {u"itemDir"_s, install.itemDir},
            {u"writes"_s, QJsonArray::fromStringList(install.writes)},
            {u"replaces"_s, QJsonArray::fromStringList(install.replaces)},
            {u"removes"_s, QJsonArray::fromStringList(install.removes)},
            {u"backup"_s, backup},
            {u"skipped"_s, QJsonArray::fromStringList(install.skipped)},
            {u"closesTotalCommander"_s, install.closesTotalCommander},
            {u"deletesPackage"_s, install.deletesPackage},
        });
    }
    const QJsonObject document{
        {u"dryRun"_s, true},
        {u"requests"_s, items},
        {u"counts"_s, QJsonObject{{u"requests"_s, static_cast<int>(result.requests.size())},
                                  {u"install"_s, countOf(result, u"install"_s)},
                                  {u"download"_s, countOf(result, u"download"_s)},
                                  {u"failed"_s, countOf(result, u"failed"_s)},
                                  {u"cancelled"_s, countOf(result, u"cancelled"_s)}}},
        {u"errors"_s, QJsonArray::fromStringList(result.errors)},
    };
    out << QJsonDocument(document).toJson(QJsonDocument::Indented);
}

void PrintUpdatePreviewText(const UpdatePreviewResult& result, QTextStream& out, QTextStream& err) {
    auto detail = [&out](const QString& what, const QString& text) {
        out << "  " << what.leftJustified(9) << TerminalSafe(text) << '\n';
    };
    for (const RequestPreview& r : result.requests) {
        const InstallPreview& install = r.install;
        out << PreviewOutcome(r).leftJustified(11) << TerminalSafe(r.item);
        if (const QString reason = reasonOf(r); !reason.isEmpty())
            out << " (" << TerminalSafe(reason) << ')';
        out << '\n';
        if (r.file.isEmpty())
            continue;
        detail(u"from"_s, r.url + u" ("_s + sizeText(r.size) + u')');
        detail(u"to"_s, r.file);
        if (!install.error.isEmpty())
            continue;
        if (install.closesTotalCommander)
            detail(u"close"_s, u"Total Commander is asked to close first"_s);
        if (!install.backupArchive.isEmpty()) {
            detail(u"backup"_s, install.backupArchive);
            for (const QString& file : install.backupAdds)
                detail(QString(), u"+ "_s + file);
            for (const QString& file : install.backupKeeps)
                detail(QString(), u"= "_s + file + u" (already in it)"_s);
        }
        for (const QString& file : install.writes)
            detail(install.replaces.contains(file) ? u"replace"_s : u"write"_s, file);
        for (const QString& file : install.removes)
            detail(u"remove"_s, file);
        if (install.deletesPackage)
            detail(u"delete"_s, r.file);
    }
    out << u"%1 request(s): %2 would be installed, %3 downloaded only, %4 would fail"_s
               .arg(result.requests.size())
               .arg(countOf(result, u"install"_s))
               .arg(countOf(result, u"download"_s))
               .arg(countOf(result, u"failed"_s));
    if (const int cancelled = countOf(result, u"cancelled"_s); cancelled > 0)
        out << u", %1 cancelled"_s.arg(cancelled);
    out << "; dry run, nothing was written\n";
    for (const QString& error : result.errors)
        err << "quillon-cli: " << TerminalSafe(error, LineBreaks::Keep) << '\n';
}

} // namespace quillon::cli
