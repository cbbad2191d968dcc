#pragma once
// The one in-memory INI type behind every store the program keeps (settings, user database,
// per-file memory, language, plugin and checksum databases).
//
// Section and key names match without regard to case; the value is the text after the first
// "="; sections, keys, comments and unknown content keep their order, so a document read and
// written back is unchanged apart from what the program set.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

class IniDocument {
public:
    enum class Encoding {
        Utf8,  // settings, user database, per-file memory
        Latin1 // 8-bit files whose code page is decided later: bytes map 1:1 to U+0000..U+00FF
    };

    IniDocument() = default;
    // An empty document that will be written to filePath.
    explicit IniDocument(QString filePath, Encoding encoding = Encoding::Utf8);

    // Reads the file; a missing file gives an empty document and true. False (and errorText)
    // only when the file exists but cannot be read.
    bool load(QString* errorText = nullptr);
    // Replaces the content with this text (the file name is kept).
    void setText(const QString& text);
    void setBytes(const QByteArray& bytes);
    QString toText() const;
    QByteArray toBytes() const;

    // Written to a temporary file beside the target and renamed over it; on failure the old
    // file is untouched and errorText names the file and the reason.
    bool save(QString* errorText = nullptr) const;
    // save() only when the text differs from what was last read from or written to the file
    // (or the file is gone): a run that changed nothing leaves the file alone.
    bool saveIfChanged(QString* errorText = nullptr) const;

    const QString& filePath() const { return m_filePath; }
    void setFilePath(const QString& path) { m_filePath = path; }
    Encoding encoding() const { return m_encoding; }

    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;
    // The first value of the key, or defaultValue when section or key is missing.
    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // Sets the first occurrence, or appends the key (and the section when new).
    void setValue(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    // Removes the section's keys but keeps its place (as an empty section).
    void clearSection(const QString& section);
    void removeSection(const QString& section);
    void clear();

    // Section names in file order, as spelled in the file.
    QStringList sections() const;
    int sectionCount() const { return static_cast<int>(m_sections.size()); }
    // Key names of a section in file order (duplicates included once each).
    QStringList keys(const QString& section) const;
    // Key/value pairs of a section in file order.
    QList<std::pair<QString, QString>> entries(const QString& section) const;

private:
    struct Line {
        QString key;   // empty for comments and other lines without "="
        QString value; // or the whole raw line when key is empty
        bool isEntry = false;
        // A removed key's line stays until the section is compacted: removing the keys of a
        // large section one by one would otherwise move and re-index the rest every time.
        bool removed = false;
    };
    struct KeyLines {
        int first = 0; // index of the key's first line
        int count = 0; // lines holding the key (a file may repeat one)
    };
    struct Section {
        QString name;
        QList<Line> lines;
        QHash<QString, KeyLines> index; // lower-cased key -> its lines
        int removedLines = 0;
    };

    Section* find(const QString& section);
    const Section* find(const QString& section) const;
    Section& findOrAdd(const QString& section);
    static void reindex(Section& section);
    static void compact(Section& section);
    void parse(const QString& text);

    QString m_filePath;
    Encoding m_encoding = Encoding::Utf8;
    QList<Line> m_preamble; // lines before the first section
    QList<Section> m_sections;
    QHash<QString, int> m_sectionIndex;             // lower-cased name -> index
    bool m_byteOrderMark = false;                   // a UTF-8 file that began with one keeps it
    mutable std::optional<QByteArray> m_savedBytes; // as last read or written; none: never
};

} // namespace quillon
