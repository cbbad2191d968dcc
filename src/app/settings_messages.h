#pragma once
// Messages about the settings file, built from the language texts for the caller to show.
#include <QString>

#include <functional>

namespace quillon {

// A language text by section, key and English default (decoded and trimmed).
using TextLookup =
    std::function<QString(const QString& section, const QString& key, const QString& englishDefault)>;

struct MessageText {
    QString caption;
    QString text;
};

// "Error: Configuration cannot be saved" naming the program and the file that failed. reason:
// the writer's account ("path: disk full"); empty when nothing more is known.
MessageText SaveFailureMessage(const TextLookup& texts, const QString& applicationTitle,
                               const QString& fileName, const QString& reason = {});

} // namespace quillon
