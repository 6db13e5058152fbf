// The settings document over arbitrary file bytes: decode and parse, write and
// encode, decode and parse again; the two models must be the same document.
#include "IniFile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char *what, const QString &a, const QString &b)
{
    std::fprintf(stderr, "%s\nfirst:  %s\nsecond: %s\n", what, qPrintable(a.toUtf8().toPercentEncoding()),
                 qPrintable(b.toUtf8().toPercentEncoding()));
    std::abort();
}

// The document path is never touched: no file of that name exists, and nothing
// here calls UpdateFile().
const QString kNoFile = QStringLiteral("/nonexistent-kanavox-fuzz/Kanavox.ini");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // fromRawData keeps libFuzzer's exactly sized buffer: a byte-order-mark check
    // that reads past the end of a 0-, 1- or 2-byte file trips AddressSanitizer.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    TIniEncoding encoding;
    const QString text = TMemIniFile::Decode(bytes, &encoding);
    TMemIniFile first(kNoFile);
    first.SetText(text);
    const QString written = first.Text();

    // Loading parses a file without a mark from its bytes as they lie, not from the
    // decoded copy: both ways must give the same document.
    TMemIniFile loaded(kNoFile);
    loaded.SetBytes(bytes);
    if (loaded.Encoding() != encoding)
        std::abort();
    if (loaded.Text() != written)
        Fail("the loaded document differs from the decoded one", written, loaded.Text());

    const QByteArray encoded = TMemIniFile::Encode(written, encoding);
    TIniEncoding again;
    const QString reread = TMemIniFile::Decode(encoded, &again);
    // An empty document written without a mark is an empty file, which reads as
    // one without a mark; every other file keeps its encoding.
    if (again != encoding && !(written.isEmpty() && encoding == TIniEncoding::Bytes))
        std::abort();
    if (reread != written)
        Fail("decode(encode(text)) differs", written, reread);

    TMemIniFile second(kNoFile);
    second.SetText(reread);
    if (second.Text() != written)
        Fail("the reparsed document differs", written, second.Text());
    const QList<QString> sections = first.Sections();
    if (second.Sections() != sections)
        Fail("section lists differ", sections.join(u'|'), second.Sections().join(u'|'));

    // Every value reads the same from both models, and an integer read agrees with
    // the parse of the stored text.
    static const QString kKeys[] = {QStringLiteral("MainTop"), QStringLiteral("MojiSyu"), QStringLiteral("x")};
    for (const QString &section : sections) {
        for (const QString &key : kKeys) {
            const QString v1 = first.ReadString(section, key, QStringLiteral("\x01"));
            if (v1 != second.ReadString(section, key, QStringLiteral("\x01")))
                Fail("values differ", v1, second.ReadString(section, key, QString()));
            int parsed = 0;
            const int expected = TMemIniFile::TryParseInteger(v1, &parsed) ? parsed : -7;
            if (first.ReadInteger(section, key, -7) != expected)
                Fail("ReadInteger disagrees with TryParseInteger", v1, QString::number(expected));
        }
    }
    return 0;
}
