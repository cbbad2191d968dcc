#pragma once
// What the add-on information window shows about an item: the description and version history
// the plugin catalogue publishes (for Total Commander: its built-in description and the history
// page of its web site), fetched as a job.
#include <QString>

#include "app/job_control.h"
#include "updatecheck/http_client.h"

namespace quillon {

struct ItemDetails {
    QString descriptionHtml; // HTML as published, cleaned
    QString history;         // plain text; empty: the item has none
};

// "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&nbsp;" and numeric references; others stay.
QString DecodeHtmlEntities(const QString& text);

// An answer split at its first "|" into the description and the history, each cleaned: "<pre>"
// and "</pre>" dropped, "&nbsp;" a blank, the two characters backslash-n a line break; the history
// also loses its tags, then its entities are decoded.
ItemDetails parseItemDetails(const QString& answer);

struct ItemDetailsJob {
    // The catalogue's details page; for Total Commander's row empty.
    QString detailsUrl;
    // Total Commander's row: its description (plain text) and the history page's address.
    QString tcDescription;
    QString historyUrl;
    // Proxy and time-outs for every request; url, progress and cancel are set per request.
    HttpRequest requestTemplate;
};

struct ItemDetailsResult {
    enum class Outcome { Shown, NoAnswer, Cancelled };
    Outcome outcome = Outcome::NoAnswer;
    ItemDetails details;
    QString errorText; // why there was no answer, for a front end that wants detail
};

// Runs on any thread; the owner cancels through the token.
ItemDetailsResult fetchItemDetails(const ItemDetailsJob& job, const CancelToken& cancel,
                                   ProgressSink& progress);

} // namespace quillon
