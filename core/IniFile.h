#pragma once
// An INI document held in memory over one file path. Reads and writes touch only
// the model; UpdateFile() writes the whole document back.
#include "FileSystem.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// How the file's bytes map to text; kept so a save writes the file as it was read.
enum class TIniEncoding {
    Bytes,   // no byte-order mark: each byte is one character (Latin-1), so foreign bytes round-trip
    Utf8,    // EF BB BF
    Utf16LE, // FF FE
    Utf16BE, // FE FF
};

// A document keeps the file's text as it was read: a save changes only the lines of the
// entries written and adds the missing ones; comments, blank lines, lines before the first
// section, other sections and every byte of them stay as they were, in any encoding.
class TMemIniFile {
public:
    // Loads the file when one exists at `fileName` (a directory does not count).
    // Throws EFOpenError when it exists but cannot be read.
    explicit TMemIniFile(const QString &fileName);
    // Loads the file an update has opened (and locked); `fileName` names it in messages.
    // Throws EFOpenError when it exists but cannot be read.
    TMemIniFile(const QString &fileName, FileSystem::TFileUpdate &update);

    const QString &FileName() const { return m_fileName; }
    // Where UpdateFile() writes from now on; the model stays as loaded.
    void SetFileName(const QString &fileName) { m_fileName = fileName; }
    TIniEncoding Encoding() const { return m_encoding; }

    // Replaces the model by the parse of `text`, as if the file held it.
    void SetText(const QString &text);
    // Replaces the model by the parse of a file's bytes, and the encoding by the one its
    // mark names: what loading the file does.
    void SetBytes(const QByteArray &bytes);
    // The document as UpdateFile() writes it, before encoding.
    QString Text() const;
    // The document as UpdateFile() writes it.
    QByteArray Bytes() const;

    QList<QString> Sections() const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal with optional sign, or hexadecimal after "$", "0x" or "0X"; the value must
    // fit 32 bits. Anything else, or a missing entry, gives `defaultValue`.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // An integer other than 0 is true.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    // An existing entry keeps its place and key spelling and its line is written anew as
    // key=value; a new one goes after the last line of its section, a new section to the
    // end of the document after an empty line.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Writes the document to the file path, replacing the file as one step.
    // Throws EFCreateError when it cannot be written; the old file is then unchanged.
    void UpdateFile() const;
    // The same through an update that opened the file for this document: the file read
    // is the one replaced, and no other save comes between.
    void UpdateFile(FileSystem::TFileUpdate &update) const;

    // The parse of an integer value as ReadInteger() takes it; false when it is none.
    static bool TryParseInteger(const QString &text, int *value);
    static TIniEncoding EncodingOf(const QByteArray &bytes);
    static QString Decode(const QByteArray &bytes, TIniEncoding *encoding);
    static QByteArray Encode(const QString &text, TIniEncoding encoding);

private:
    struct Entry {
        QString key;   // trimmed text before the first "="; the whole line when bare
        QString value; // trimmed text after it
        bool bare = false;
        bool written = false; // its line is written anew
        qsizetype line = -1;  // in m_lines; -1 for an entry added since the load
    };
    struct Section {
        QString name;
        QList<Entry> entries;
        qsizetype header = -1; // the line of its first "[name]"; -1 for a new section
        qsizetype last = -1;   // its last header or entry line, after which new entries go
    };
    // One line of the text as read: [begin, end) in m_raw (bytes) or m_rawText (code
    // units), its line break starting at breakAt.
    struct Line {
        qsizetype begin = 0;
        qsizetype breakAt = 0;
        qsizetype end = 0;
        qint32 section = -1; // the entry on this line, if any
        qint32 entry = -1;
        bool blank = false;  // nothing but blanks and control codes
    };

    Section *FindSection(const QString &name);
    Section *AppendSection(const QString &name);
    void Clear();
    // Parses text of UTF-16 code units (QChar) or of bytes (char, Latin-1 or UTF-8) into the
    // model; the code unit at index i starts at raw offset base + i * unitSize. A file
    // without a mark is parsed as it lies, without a decoded copy of it all.
    template <typename Char>
    void Parse(const Char *text, qsizetype size, qsizetype base, int unitSize, bool utf8);
    // One "[name]" line: the section it opens or continues, which later entries join.
    template <typename Char>
    Section *ParseHeader(const Char *text, qsizetype begin, qsizetype stop, qsizetype lineIndex, bool utf8);
    // One key=value or bare line of `section`, trimmed to [begin, stop).
    template <typename Char>
    void ParseEntry(const Char *text, qsizetype begin, qsizetype stop, qsizetype lineIndex, Section *section,
                    bool utf8);
    template <typename Char>
    QString Piece(const Char *text, qsizetype n, bool utf8) const;
    // Hands out the document in order: spans of the text as read, and generated text.
    template <typename Raw, typename Generated>
    void Render(Raw raw, Generated generated) const;
    // The sections that get new entries (by index), by the line they follow.
    QHash<qsizetype, QList<qsizetype>> SectionsGrowingAfter() const;
    // The entries added to a section read from the text, after its last line.
    template <typename Generated>
    void RenderNewEntries(const Section &section, Generated generated, bool endsWithBreak) const;
    // A section added since the load, header and entries, at the end of the document.
    template <typename Generated>
    void RenderNewSection(const Section &section, Generated generated, bool endsWithBreak, bool lastBlank) const;
    QString RawText(qsizetype begin, qsizetype end) const;
    const Section *FindSection(const QString &name) const;
    static const Entry *FindEntry(const Section &section, const QString &key);

    QString m_fileName;
    TIniEncoding m_encoding = TIniEncoding::Bytes;
    // What was read: the file's bytes, mark included, or the text given to SetText.
    QByteArray m_raw;
    QString m_rawText;
    bool m_fromText = false;
    qsizetype m_markSize = 0;
    QList<Line> m_lines;
    // The line break the file uses (its first one), for the lines this program writes.
    QString m_break = QStringLiteral("\r\n");
    QList<Section> m_sections;
    // Case-folded section name to its place in m_sections: a file of many sections
    // would otherwise cost a scan of all earlier ones per section line.
    QHash<QString, qsizetype> m_sectionIndex;
};
