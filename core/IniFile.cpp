#include "IniFile.h"

#include "Exceptions.h"
#include "FileSystem.h"
#include "SysError.h"

#include <QStringDecoder>
#include <QStringView>

#include <algorithm>
#include <limits>
#include <type_traits>

namespace {

char16_t Code(QChar c) { return c.unicode(); }
char16_t Code(char c) { return uchar(c); }

// Narrows [*begin, *stop) by control codes and blanks, nothing else: QString::trimmed()
// would also take U+00A0 and U+0085, which are ordinary bytes of a file read without a mark.
template <typename Char>
void TrimLow(const Char *text, qsizetype *begin, qsizetype *stop)
{
    while (*begin < *stop && Code(text[*begin]) <= 0x20)
        ++*begin;
    while (*stop > *begin && Code(text[*stop - 1]) <= 0x20)
        --*stop;
}

// Where the line starting at `pos` ends: at its CR or LF, or at the end of the text.
template <typename Char>
qsizetype LineEnd(const Char *text, qsizetype size, qsizetype pos)
{
    while (pos < size && Code(text[pos]) != u'\r' && Code(text[pos]) != u'\n')
        ++pos;
    return pos;
}

// Where the next line starts after a line ending at `end`: CR LF is one break; a lone CR
// or LF is one too.
template <typename Char>
qsizetype PastBreak(const Char *text, qsizetype size, qsizetype end)
{
    qsizetype pos = end;
    if (pos < size && Code(text[pos]) == u'\r')
        ++pos;
    if (pos < size && Code(text[pos]) == u'\n')
        ++pos;
    return pos;
}

// A trimmed line that names a section: "[" ... "]".
template <typename Char>
bool IsHeader(const Char *text, qsizetype begin, qsizetype stop)
{
    return stop - begin >= 2 && Code(text[begin]) == u'[' && Code(text[stop - 1]) == u']';
}

// An entry's line as this program writes it.
QString EntryLine(const QString &key, const QString &value)
{
    return key + u'=' + value;
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The key under which SameName() names meet: each code point folded on its own,
// as the case-insensitive comparison does.
QString FoldedName(const QString &name)
{
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            const char32_t ucs4 = QChar::surrogateToUcs4(c, name.at(i + 1));
            const char32_t f = QChar::toCaseFolded(ucs4);
            folded += QChar::fromUcs4(f);
            ++i;
        } else {
            folded += QChar(QChar::toCaseFolded(c.unicode()));
        }
    }
    return folded;
}

int HexDigit(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// UTF-8 as it lies: a U+FEFF at the start of a piece is a character of the file, not a
// mark to drop (QString::fromUtf8 drops it), so that a line decoded alone reads as it
// does inside the whole text.
QString DecodeUtf8(const char *bytes, qsizetype n)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes, n));
}

QString DecodeUtf16(const QByteArray &bytes, qsizetype offset, bool littleEndian)
{
    const qsizetype units = (bytes.size() - offset) / 2;
    QString text(units, Qt::Uninitialized);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + offset;
    for (qsizetype i = 0; i < units; ++i, p += 2) {
        const char16_t unit = littleEndian ? char16_t(p[0] | (p[1] << 8))
                                           : char16_t((p[0] << 8) | p[1]);
        text[i] = QChar(unit);
    }
    // A stray last byte cannot be a code unit; show that something was there.
    if ((bytes.size() - offset) % 2 != 0)
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

// The text's code units, without a mark.
QByteArray EncodeUtf16(const QString &text, bool littleEndian)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        const char lo = char(unit & 0xFF);
        const char hi = char(unit >> 8);
        if (littleEndian) {
            bytes.append(lo);
            bytes.append(hi);
        } else {
            bytes.append(hi);
            bytes.append(lo);
        }
    }
    return bytes;
}

// The text in the encoding, without a mark.
QByteArray EncodeBody(const QString &text, TIniEncoding encoding)
{
    switch (encoding) {
    case TIniEncoding::Utf8:
        return text.toUtf8();
    case TIniEncoding::Utf16LE:
        return EncodeUtf16(text, true);
    case TIniEncoding::Utf16BE:
        return EncodeUtf16(text, false);
    case TIniEncoding::Bytes:
        break;
    }
    return text.toLatin1();
}

qsizetype MarkSize(TIniEncoding encoding)
{
    switch (encoding) {
    case TIniEncoding::Utf8:
        return 3;
    case TIniEncoding::Utf16LE:
    case TIniEncoding::Utf16BE:
        return 2;
    case TIniEncoding::Bytes:
        break;
    }
    return 0;
}

} // namespace

namespace {

[[noreturn]] void ThrowOpenError(const QString &fileName, int error)
{
    throw EFOpenError(QStringLiteral("ファイル %1 は開けません。 %2 ").arg(fileName, SysErrorMessage(error)));
}

[[noreturn]] void ThrowCreateError(const QString &fileName, int error)
{
    throw EFCreateError(QStringLiteral("ファイル \"%1\" を作成できません。%2").arg(fileName, SysErrorMessage(error)));
}

} // namespace

TMemIniFile::TMemIniFile(const QString &fileName)
    : m_fileName(fileName)
{
    if (!FileSystem::FileExists(fileName))
        return;
    QByteArray bytes;
    if (const int error = FileSystem::ReadWholeFile(fileName, &bytes))
        ThrowOpenError(fileName, error);
    SetBytes(bytes);
}

TMemIniFile::TMemIniFile(const QString &fileName, FileSystem::TFileUpdate &update)
    : m_fileName(fileName)
{
    if (!update.Exists())
        return;
    QByteArray bytes;
    if (const int error = update.Read(&bytes))
        ThrowOpenError(fileName, error);
    SetBytes(bytes);
}

void TMemIniFile::Clear()
{
    m_sections.clear();
    m_sectionIndex.clear();
    m_lines.clear();
    m_raw.clear();
    m_rawText.clear();
    m_break = QStringLiteral("\r\n");
}

void TMemIniFile::SetBytes(const QByteArray &bytes)
{
    Clear();
    m_encoding = EncodingOf(bytes);
    m_raw = bytes;
    m_fromText = false;
    m_markSize = MarkSize(m_encoding);
    const qsizetype body = bytes.size() - m_markSize;
    switch (m_encoding) {
    case TIniEncoding::Bytes:
    case TIniEncoding::Utf8:
        // CR, LF and the other bytes that matter are ASCII, which never stands inside a
        // UTF-8 sequence: the bytes are split as they lie and only the pieces decoded.
        Parse(bytes.constData() + m_markSize, body, m_markSize, 1, m_encoding == TIniEncoding::Utf8);
        break;
    case TIniEncoding::Utf16LE:
    case TIniEncoding::Utf16BE: {
        const QString text = DecodeUtf16(bytes, m_markSize, m_encoding == TIniEncoding::Utf16LE);
        Parse(text.constData(), text.size(), m_markSize, 2, false);
        break;
    }
    }
}

TIniEncoding TMemIniFile::EncodingOf(const QByteArray &bytes)
{
    // Every check looks at the size first: a file may be shorter than any mark.
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return TIniEncoding::Utf8;
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return TIniEncoding::Utf16LE;
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return TIniEncoding::Utf16BE;
    return TIniEncoding::Bytes;
}

QString TMemIniFile::Decode(const QByteArray &bytes, TIniEncoding *encoding)
{
    *encoding = EncodingOf(bytes);
    switch (*encoding) {
    case TIniEncoding::Utf8:
        return DecodeUtf8(bytes.constData() + 3, bytes.size() - 3);
    case TIniEncoding::Utf16LE:
        return DecodeUtf16(bytes, 2, true);
    case TIniEncoding::Utf16BE:
        return DecodeUtf16(bytes, 2, false);
    case TIniEncoding::Bytes:
        break;
    }
    return QString::fromLatin1(bytes);
}

QByteArray TMemIniFile::Encode(const QString &text, TIniEncoding encoding)
{
    switch (encoding) {
    case TIniEncoding::Utf8:
        return QByteArrayLiteral("\xEF\xBB\xBF") + EncodeBody(text, encoding);
    case TIniEncoding::Utf16LE:
        return QByteArray("\xFF\xFE", 2) + EncodeBody(text, encoding);
    case TIniEncoding::Utf16BE:
        return QByteArray("\xFE\xFF", 2) + EncodeBody(text, encoding);
    case TIniEncoding::Bytes:
        break;
    }
    return EncodeBody(text, encoding);
}

void TMemIniFile::SetText(const QString &text)
{
    Clear();
    m_rawText = text;
    m_fromText = true;
    m_markSize = 0;
    Parse(text.constData(), text.size(), 0, 1, false);
}

template <typename Char>
QString TMemIniFile::Piece(const Char *text, qsizetype n, bool utf8) const
{
    if constexpr (std::is_same_v<Char, QChar>) {
        Q_UNUSED(utf8);
        return QString(text, n);
    } else {
        return utf8 ? DecodeUtf8(text, n) : QString::fromLatin1(text, n);
    }
}

template <typename Char>
void TMemIniFile::Parse(const Char *text, qsizetype size, qsizetype base, int unitSize, bool utf8)
{
    // Where the code unit at index i starts; a stray last byte of UTF-16 still belongs
    // to the last line.
    const qsizetype rawSize = m_fromText ? m_rawText.size() : m_raw.size();
    const auto rawAt = [&](qsizetype i) { return i >= size ? rawSize : base + i * unitSize; };
    bool breakSeen = false;
    Section *current = nullptr;
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype lineStart = pos;
        const qsizetype end = LineEnd(text, size, pos);
        pos = PastBreak(text, size, end);
        if (!breakSeen && pos > end) {
            breakSeen = true;
            m_break = Piece(text + end, pos - end, false);
        }
        qsizetype begin = lineStart;
        qsizetype stop = end;
        TrimLow(text, &begin, &stop);
        Line line;
        line.begin = rawAt(lineStart);
        line.breakAt = rawAt(end);
        line.end = rawAt(pos);
        line.blank = begin == stop;
        const qsizetype lineIndex = m_lines.size();
        m_lines.append(line);

        if (begin == stop || Code(text[begin]) == u';')
            continue;
        if (IsHeader(text, begin, stop))
            current = ParseHeader(text, begin, stop, lineIndex, utf8);
        else if (current) // lines before the first section belong to none
            ParseEntry(text, begin, stop, lineIndex, current, utf8);
    }
}

template <typename Char>
TMemIniFile::Section *TMemIniFile::ParseHeader(const Char *text, qsizetype begin, qsizetype stop,
                                               qsizetype lineIndex, bool utf8)
{
    qsizetype nameBegin = begin + 1;
    qsizetype nameStop = stop - 1;
    TrimLow(text, &nameBegin, &nameStop);
    const QString name = Piece(text + nameBegin, nameStop - nameBegin, utf8);
    Section *section = FindSection(name);
    if (!section) {
        section = AppendSection(name);
        section->header = lineIndex;
    }
    section->last = lineIndex;
    return section;
}

template <typename Char>
void TMemIniFile::ParseEntry(const Char *text, qsizetype begin, qsizetype stop, qsizetype lineIndex,
                             Section *section, bool utf8)
{
    Entry entry;
    entry.line = lineIndex;
    qsizetype eq = begin;
    while (eq < stop && Code(text[eq]) != u'=')
        ++eq;
    if (eq < stop) {
        qsizetype keyBegin = begin, keyStop = eq, valueBegin = eq + 1, valueStop = stop;
        TrimLow(text, &keyBegin, &keyStop);
        TrimLow(text, &valueBegin, &valueStop);
        entry.key = Piece(text + keyBegin, keyStop - keyBegin, utf8);
        entry.value = Piece(text + valueBegin, valueStop - valueBegin, utf8);
    } else {
        entry.key = Piece(text + begin, stop - begin, utf8);
        entry.bare = true;
    }
    m_lines[lineIndex].section = qint32(section - m_sections.data());
    m_lines[lineIndex].entry = qint32(section->entries.size());
    section->entries.append(entry);
    section->last = lineIndex;
}

QHash<qsizetype, QList<qsizetype>> TMemIniFile::SectionsGrowingAfter() const
{
    QHash<qsizetype, QList<qsizetype>> after;
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        const Section &s = m_sections[i];
        if (s.header >= 0 && std::any_of(s.entries.cbegin(), s.entries.cend(),
                                         [](const Entry &e) { return e.line < 0; }))
            after[s.last].append(i);
    }
    return after;
}

template <typename Raw, typename Generated>
void TMemIniFile::Render(Raw raw, Generated generated) const
{
    const QHash<qsizetype, QList<qsizetype>> after = SectionsGrowingAfter();
    bool endsWithBreak = true; // also for an empty document: nothing to end
    bool lastBlank = true;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &l = m_lines[i];
        const Entry *e = l.entry >= 0 ? &m_sections[l.section].entries[l.entry] : nullptr;
        if (e && e->written) {
            generated(EntryLine(e->key, e->value));
            raw(l.breakAt, l.end);
        } else {
            raw(l.begin, l.end);
        }
        endsWithBreak = l.end > l.breakAt;
        lastBlank = l.blank;
        const auto it = after.constFind(i);
        if (it == after.cend())
            continue;
        for (qsizetype si : *it) {
            RenderNewEntries(m_sections[si], generated, endsWithBreak);
            // Each of these sections has a new entry, so a line of it ends the text now.
            endsWithBreak = true;
            lastBlank = false;
        }
    }
    for (const Section &s : m_sections) {
        if (s.header >= 0)
            continue;
        RenderNewSection(s, generated, endsWithBreak, lastBlank);
        endsWithBreak = true;
        lastBlank = true;
    }
}

template <typename Generated>
void TMemIniFile::RenderNewEntries(const Section &section, Generated generated, bool endsWithBreak) const
{
    for (const Entry &entry : section.entries) {
        if (entry.line >= 0)
            continue;
        if (!endsWithBreak)
            generated(m_break);
        generated(EntryLine(entry.key, entry.value) + m_break);
        endsWithBreak = true;
    }
}

template <typename Generated>
void TMemIniFile::RenderNewSection(const Section &section, Generated generated, bool endsWithBreak,
                                   bool lastBlank) const
{
    // A new section stands apart, after an empty line, as every section does in a
    // file this program writes from scratch.
    if (!endsWithBreak)
        generated(m_break);
    if (!lastBlank)
        generated(m_break);
    QString text = u'[' + section.name + u']' + m_break;
    for (const Entry &entry : section.entries)
        text += (entry.bare ? entry.key : EntryLine(entry.key, entry.value)) + m_break;
    generated(text + m_break);
}

QString TMemIniFile::RawText(qsizetype begin, qsizetype end) const
{
    if (m_fromText)
        return m_rawText.mid(begin, end - begin);
    const QByteArray piece = QByteArray::fromRawData(m_raw.constData() + begin, end - begin);
    switch (m_encoding) {
    case TIniEncoding::Utf8:
        return DecodeUtf8(piece.constData(), piece.size());
    case TIniEncoding::Utf16LE:
    case TIniEncoding::Utf16BE:
        return DecodeUtf16(piece, 0, m_encoding == TIniEncoding::Utf16LE);
    case TIniEncoding::Bytes:
        break;
    }
    return QString::fromLatin1(piece);
}

QString TMemIniFile::Text() const
{
    QString text;
    Render([&](qsizetype begin, qsizetype end) { text += RawText(begin, end); },
           [&](const QString &generated) { text += generated; });
    return text;
}

QByteArray TMemIniFile::Bytes() const
{
    if (m_fromText)
        return Encode(Text(), m_encoding);
    // The mark and every line not written anew go out as the bytes they were read as.
    QByteArray bytes = m_raw.left(m_markSize);
    if (bytes.isEmpty() && m_encoding != TIniEncoding::Bytes)
        bytes = Encode(QString(), m_encoding);
    bytes.reserve(m_raw.size() + 256);
    Render([&](qsizetype begin, qsizetype end) { bytes.append(m_raw.constData() + begin, end - begin); },
           [&](const QString &generated) { bytes += EncodeBody(generated, m_encoding); });
    return bytes;
}

QList<QString> TMemIniFile::Sections() const
{
    QList<QString> names;
    for (const Section &section : m_sections)
        names.append(section.name);
    return names;
}

bool TMemIniFile::SectionExists(const QString &section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const QString &section, const QString &key) const
{
    const Section *s = FindSection(section);
    return s && FindEntry(*s, key);
}

TMemIniFile::Section *TMemIniFile::FindSection(const QString &name)
{
    const auto it = m_sectionIndex.constFind(FoldedName(name));
    if (it == m_sectionIndex.cend())
        return nullptr;
    if (SameName(m_sections[*it].name, name))
        return &m_sections[*it];
    // Folding by code point and the comparison could only disagree on surrogate pairs
    // whose folding leaves their block; then the slow way decides.
    for (Section &section : m_sections) {
        if (SameName(section.name, name))
            return &section;
    }
    return nullptr;
}

TMemIniFile::Section *TMemIniFile::AppendSection(const QString &name)
{
    const QString key = FoldedName(name);
    if (!m_sectionIndex.contains(key))
        m_sectionIndex.insert(key, m_sections.size());
    m_sections.append(Section{name, {}});
    return &m_sections.last();
}

const TMemIniFile::Section *TMemIniFile::FindSection(const QString &name) const
{
    return const_cast<TMemIniFile *>(this)->FindSection(name);
}

const TMemIniFile::Entry *TMemIniFile::FindEntry(const Section &section, const QString &key)
{
    for (const Entry &entry : section.entries) {
        if (!entry.bare && SameName(entry.key, key))
            return &entry;
    }
    return nullptr;
}

QString TMemIniFile::ReadString(const QString &section, const QString &key,
                                const QString &defaultValue) const
{
    const Section *s = FindSection(section);
    const Entry *e = s ? FindEntry(*s, key) : nullptr;
    return e ? e->value : defaultValue;
}

bool TMemIniFile::TryParseInteger(const QString &text, int *value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    qint64 result = 0;
    if (n >= 2 && (text.startsWith(u'$') || text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        i = text.startsWith(u'$') ? 1 : 2;
        if (i == n)
            return false;
        for (; i < n; ++i) {
            const int digit = HexDigit(text.at(i));
            if (digit < 0)
                return false;
            result = result * 16 + digit;
            if (result > std::numeric_limits<int>::max())
                return false;
        }
        *value = int(result);
        return true;
    }
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == n)
        return false;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min())
                                  : qint64(std::numeric_limits<int>::max());
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c - u'0');
        if (result > limit)
            return false;
    }
    *value = int(negative ? -result : result);
    return true;
}

int TMemIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    return TryParseInteger(ReadString(section, key, QString()), &value) ? value : defaultValue;
}

bool TMemIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    Section *s = FindSection(section);
    if (!s)
        s = AppendSection(section);
    for (Entry &entry : s->entries) {
        if (!entry.bare && SameName(entry.key, key)) {
            entry.value = value;
            entry.written = true;
            return;
        }
    }
    Entry entry;
    entry.key = key;
    entry.value = value;
    entry.written = true;
    s->entries.append(entry);
}

void TMemIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TMemIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TMemIniFile::UpdateFile() const
{
    if (const int error = FileSystem::WriteFileAtomically(m_fileName, Bytes()))
        ThrowCreateError(m_fileName, error);
}

void TMemIniFile::UpdateFile(FileSystem::TFileUpdate &update) const
{
    if (const int error = update.Replace(Bytes()))
        ThrowCreateError(m_fileName, error);
}
