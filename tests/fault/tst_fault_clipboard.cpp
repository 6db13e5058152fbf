// Hostile clipboard contents pasted with Ctrl+V into the real main window: no crash, the
// edit holds exactly the clipboard text, the reading has one piece for every character of
// it (what the alphabet lacks keeps its place, named), and the copy button puts back
// exactly what the edit holds.
#include "Application.h"
#include "Characters.h"
#include "Main.h"
#include "MessageBox.h"
#include "ReadingComposer.h"
#include "Settings.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The password's alphabet characters alone, in order.
QString AlphabetOnly(const QString &text)
{
    QString kept;
    for (QChar c : text) {
        if (ReadingIndexOf(c) >= 0)
            kept += c;
    }
    return kept;
}

QString Seeded(qsizetype length, quint32 seed, const QString &extra)
{
    static const QString alphabet = QStringLiteral(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QRandomGenerator rng(seed);
    QString text(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i) {
        const quint32 r = rng.bounded(quint32(alphabet.size() + extra.size()));
        text[i] = r < quint32(alphabet.size()) ? alphabet.at(r) : extra.at(r - alphabet.size());
    }
    return text;
}

} // namespace

class TestFaultClipboard : public QObject, private TWindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(SetUpWindow()); }
    void cleanup() { TearDownWindow(); }

    void hostileText_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("keptByReading"); // "<all>": every alphabet character of clip
        const QString nul(QChar(0));
        QTest::newRow("1 000 000 characters")
            << Seeded(1000000, 99, QStringLiteral(" \u00A0Ａあ\u200F\t")) << QStringLiteral("<all>");
        QTest::newRow("lone surrogates") << QStringLiteral("a\xD800" "b\xDFFF" "c\xDBFF") << QStringLiteral("abc");
        QTest::newRow("a surrogate pair") << QStringLiteral("x\U0001F600y") << QStringLiteral("xy");
        QTest::newRow("NULs") << (nul + QStringLiteral("A") + nul + nul + QStringLiteral("1") + nul) << QStringLiteral("A1");
        QTest::newRow("only NULs") << QString(64, QChar(0)) << QString();
        QTest::newRow("right-to-left marks")
            << QStringLiteral("\u200Fp\u202Ea\u202Cs\u061Cs\u200E") << QStringLiteral("pass");
        QTest::newRow("Arabic and Hebrew") << QStringLiteral("k\u05D0\u0627=9") << QStringLiteral("k=9");
        QTest::newRow("line breaks and controls") << QStringLiteral("a\r\nb\rc\nd\x1B\x7F") << QStringLiteral("abcd");
    }
    void hostileText()
    {
        QFETCH(QString, clip);
        QFETCH(QString, keptByReading);
        if (keptByReading == u"<all>")
            keptByReading = AlphabetOnly(clip);
        TfmKanavox *f = Open();
        QTest::keyClicks(f->edtPass, QStringLiteral("Q"));
        QGuiApplication::clipboard()->setText(clip);
        QTest::keyClick(f->edtPass, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(f->edtPass->Text().size(), clip.size());
        QVERIFY(f->edtPass->Text() == clip);
        // One piece per character; those of the alphabet read as the reading of the kept
        // characters alone does, the others are named in corner brackets in their places.
        // (The window starts with the default options, which ReadingOptions() are too.)
        const QStringList pieces = f->lblEGkekka->Caption().split(QStringLiteral("、"));
        QCOMPARE(pieces.size(), CharacterCount(clip));
        QStringList readable;
        for (const QString &piece : pieces)
            if (!piece.contains(QStringLiteral("「")))
                readable << piece;
        const QString expected = ComposeReading(keptByReading, ReadingOptions());
        QVERIFY2(readable.join(QStringLiteral("、")) == expected,
                 qPrintable(f->lblEGkekka->Caption().left(80) + QStringLiteral(" / ") + expected.left(80)));
        ClickButton(m_form->btnCopy);
        QCOMPARE(f->lblCopyKekka->Caption(), QStringLiteral("コピーOK"));
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.size(), f->edtPass->Text().size() + 2 + f->lblEGkekka->Caption().size());
        QVERIFY(copied == f->edtPass->Text() + QStringLiteral("\r\n") + f->lblEGkekka->Caption());
        // The window goes on working: select all and type over it.
        QTest::keyClick(f->edtPass, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(f->edtPass, QStringLiteral("z"));
        QCOMPARE(f->edtPass->Text(), QStringLiteral("z"));
        QCOMPARE(f->lblEGkekka->Caption(), QStringLiteral("小文字:ズィー"));
    }

    // Clipboards without text: the edit is emptied and so is the reading, and the copy
    // puts back the empty password with the empty reading.
    void noText_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("text/html only") << "html";
        QTest::newRow("an image only") << "image";
        QTest::newRow("a foreign format only") << "foreign";
    }
    void noText()
    {
        QFETCH(QString, what);
        TfmKanavox *f = Open();
        QTest::keyClicks(f->edtPass, QStringLiteral("k9"));
        QVERIFY(!f->lblEGkekka->Caption().isEmpty());
        auto *data = new QMimeData;
        if (what == u"html") {
            data->setHtml(QStringLiteral("<b>abc</b>"));
        } else if (what == u"image") {
            QImage img(8, 8, QImage::Format_ARGB32);
            img.fill(Qt::blue);
            data->setImageData(img);
        } else {
            data->setData(QStringLiteral("application/x-kanavox-test"), QByteArray("abc\0def", 7));
        }
        QGuiApplication::clipboard()->setMimeData(data);
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasText());
        QTest::keyClick(f->edtPass, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(f->edtPass->Text(), QString());
        QCOMPARE(f->lblEGkekka->Caption(), QString());
        ClickButton(m_form->btnCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\r\n"));
    }

    // Another program takes the clipboard over right after our claim (under X11 a client
    // whose claim carries a later time stamp keeps the selection): the copy did not take,
    // so the window says "NG", never "コピーOK", and shows no error box.
    void copyTakenOverShowsNG()
    {
        TfmKanavox *f = Open();
        QTest::keyClicks(f->edtPass, QStringLiteral("a1"));
        QClipboard *clipboard = QGuiApplication::clipboard();
        bool takenOver = false;
        const auto connection = connect(clipboard, &QClipboard::dataChanged, this, [&] {
            if (takenOver)
                return;
            takenOver = true;
            clipboard->setText(QStringLiteral("another program's text"));
        });
        ClickButton(m_form->btnCopy);
        disconnect(connection);
        QVERIFY(takenOver);
        QCOMPARE(f->lblCopyKekka->Caption(), QStringLiteral("NG"));
        QVERIFY(m_boxes.isEmpty());
        // Once nobody interferes, the next copy takes and says so.
        ClickButton(m_form->btnCopy);
        QCOMPARE(f->lblCopyKekka->Caption(), QStringLiteral("コピーOK"));
        QCOMPARE(clipboard->text(), QStringLiteral("a1\r\n") + f->lblEGkekka->Caption());
    }
};

int main(int argc, char **argv)
{
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    TestFaultClipboard t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_fault_clipboard.moc"
