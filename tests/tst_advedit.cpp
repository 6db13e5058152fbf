// The password edit driven by real key and mouse events on a shown window: the owner's
// key, character and change events are recorded and compared as whole sequences.
#include "AdvEdit.h"
#include "Characters.h"
#include "Clipboard.h"
#include "Fonts.h"
#include "TestSeams.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

QString Show(QChar c)
{
    return c.unicode() < 0x20 ? QStringLiteral("#%1").arg(c.unicode()) : QString(c);
}

// How far two renderings are apart: the pixels where a channel differs by more than a
// third of its range (anti-aliasing at another sub-pixel place stays below that).
int DifferingPixels(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return x.width() * x.height();
    int n = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (qAbs(qRed(p) - qRed(q)) > 85 || qAbs(qGreen(p) - qGreen(q)) > 85 || qAbs(qBlue(p) - qBlue(q)) > 85)
                ++n;
        }
    return n;
}

// `text` drawn over `back` one character at a time, left to right from `origin` (the top
// of the line): every glyph on its own, so that no bidi rule can move it, and every
// character that draws nothing by itself as its sign, in a cell as wide as a blank for a
// blank and as a full-width gap for any other.
QImage OneAtATime(const QImage &back, const QFont &font, const QColor &ink, const QString &text, QPointF origin)
{
    QImage image = back.convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(ink);
    const QFontMetricsF fm(font);
    qreal x = origin.x();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = CharacterLength(text, i);
        const QString c = text.mid(i, length);
        const TCharacterLook look = LookOf(CharacterCode(text, i));
        if (DrawsNothing(look)) {
            const qreal width = fm.horizontalAdvance(look == TCharacterLook::Blank ? QChar(u' ') : QChar(0x3000));
            PaintStandIn(&p, QRectF(x, origin.y(), width, QFontMetrics(font).height()), look, ink);
            x += width;
        } else {
            // Each glyph laid out alone, placed on the line as the edit places its text.
            QTextLayout glyph(c, font);
            glyph.beginLayout();
            QTextLine line = glyph.createLine();
            line.setLeadingIncluded(true);
            glyph.endLayout();
            // On the font's own baseline, whatever face the glyph comes from.
            const qreal base = fm.ascent() + qMax(0.0, fm.leading()) - line.ascent() - qMax(0.0, line.leading());
            glyph.draw(&p, QPointF(x, origin.y() + base));
            x += line.naturalTextWidth();
        }
        i += length;
    }
    return image;
}

// The fewest differing pixels between `shown` and `draw(origin)` over the origins near
// `guess`: the test need not know the edit's exact margins.
template <typename Draw>
int BestMatch(const QImage &shown, QPointF guess, Draw draw)
{
    int best = shown.width() * shown.height();
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            best = qMin(best, DifferingPixels(shown, draw(guess + QPointF(dx, dy))));
    return best;
}

} // namespace

class TestAdvEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    QPushButton *m_before = nullptr; // a tab stop ahead of the edit
    TAdvEdit *m_edit = nullptr;
    QStringList m_events;
    bool m_discardAll = false;        // the owner discards every character
    quint16 m_cancelKey = 0;          // the owner cancels this key

    void Open(const QString &text = QString())
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 80);
        m_before = new QPushButton(QStringLiteral("b"), m_window.get());
        m_before->setGeometry(0, 0, 40, 24);
        m_edit = new TAdvEdit(m_window.get());
        m_edit->setGeometry(10, 30, 200, 24);
        m_edit->SetText(text);
        connect(m_edit, &TCustomAdvEdit::OnKeyDown, this, [this](QObject *, quint16 &key, TShiftState) {
            m_events << QStringLiteral("down:%1").arg(key);
            if (key == m_cancelKey)
                key = 0;
        });
        connect(m_edit, &TCustomAdvEdit::OnKeyPress, this, [this](QObject *, QChar &c) {
            m_events << QStringLiteral("press:") + Show(c);
            if (m_discardAll)
                c = QChar(0);
        });
        connect(m_edit, &TCustomAdvEdit::OnChange, this, [this](QObject *sender) {
            QCOMPARE(sender, m_edit);
            m_events << QStringLiteral("change:") + m_edit->Text();
        });
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_edit->setFocus(Qt::OtherFocusReason);
        m_events.clear();
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = QString())
    {
        QTest::sendKeyEvent(QTest::Press, m_edit, key, text, modifiers);
        QTest::sendKeyEvent(QTest::Release, m_edit, key, text, modifiers);
    }

    // The point of the visible text at the caret position pos (edit coordinates).
    QPoint PointAfter(int chars) const
    {
        const QFontMetrics fm(m_edit->font());
        const int left = 2 + 2; // frame and margin
        return QPoint(left + fm.horizontalAdvance(m_edit->Text().left(chars)), m_edit->height() / 2);
    }

    static void SetClipboard(const QString &text) { QGuiApplication::clipboard()->setText(text); }

private slots:
    void cleanup()
    {
        m_window.reset();
        m_discardAll = false;
        m_cancelKey = 0;
    }

    // Each key class raises the owner's events in a fixed order and count (a held
    // modifier goes down first and is reported too).
    void eventOrder_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<bool>("discard");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("text");

        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        QTest::newRow("letter") << "" << 0 << 0 << int(Qt::Key_A) << none << "a" << false
                                << QStringList{"down:65", "press:a", "change:a"} << "a";
        QTest::newRow("letter discarded") << "" << 0 << 0 << int(Qt::Key_A) << none << "a" << true
                                          << QStringList{"down:65", "press:a"} << "";
        QTest::newRow("replace all: one report") << "abc" << 0 << 3 << int(Qt::Key_X) << none << "x" << false
                                                 << QStringList{"down:88", "press:x", "change:x"} << "x";
        QTest::newRow("shifted symbol") << "" << 0 << 0 << int(Qt::Key_Exclam) << shift << "!" << false
                                        << QStringList{"down:16", "down:49", "press:!", "change:!"} << "!";
        QTest::newRow("backspace to empty: two reports") << "a" << 1 << 0 << int(Qt::Key_Backspace) << none << "" << false
                                                         << QStringList{"down:8", "press:#8", "change:", "change:"} << "";
        QTest::newRow("backspace, empty since set") << "" << 0 << 0 << int(Qt::Key_Backspace) << none << "" << false
                                                    << QStringList{"down:8", "press:#8"} << "";
        QTest::newRow("backspace discarded") << "ab" << 2 << 0 << int(Qt::Key_Backspace) << none << "" << true
                                             << QStringList{"down:8", "press:#8"} << "ab";
        QTest::newRow("enter") << "ab" << 2 << 0 << int(Qt::Key_Return) << none << "\r" << false
                               << QStringList{"down:13", "press:#13"} << "ab";
        QTest::newRow("ctrl+enter") << "ab" << 2 << 0 << int(Qt::Key_Return) << ctrl << "\r" << false
                                    << QStringList{"down:17", "down:13"} << "ab";
        QTest::newRow("escape") << "ab" << 2 << 0 << int(Qt::Key_Escape) << none << "\x1b" << false
                                << QStringList{"down:27", "press:#27"} << "ab";
        QTest::newRow("ctrl+a past a discarding owner") << "abc" << 1 << 0 << int(Qt::Key_A) << ctrl << "a" << true
                                                       << QStringList{"down:17", "down:65"} << "abc";
        QTest::newRow("ctrl+x discarded") << "abc" << 0 << 3 << int(Qt::Key_X) << ctrl << "x" << true
                                          << QStringList{"down:17", "down:88", "press:#24"} << "abc";
        QTest::newRow("ctrl+x let through: cut reports twice") << "abc" << 0 << 3 << int(Qt::Key_X) << ctrl << "x" << false
                                                               << QStringList{"down:17", "down:88", "press:#24", "change:", "change:"} << "";
        QTest::newRow("up goes no further") << "abc" << 1 << 0 << int(Qt::Key_Up) << none << "" << false
                                            << QStringList{"down:38"} << "abc";
        QTest::newRow("delete") << "abc" << 0 << 0 << int(Qt::Key_Delete) << none << "\x7f" << false
                                << QStringList{"down:46", "change:bc"} << "bc";
        QTest::newRow("shift+delete cuts, reported twice") << "abc" << 1 << 2 << int(Qt::Key_Delete) << shift << "" << false
                                                           << QStringList{"down:16", "down:46", "change:a", "change:a"} << "a";
        QTest::newRow("alt+letter is an accelerator") << "abc" << 3 << 0 << int(Qt::Key_A) << int(Qt::AltModifier) << "a" << false
                                                      << QStringList{"down:18", "down:65"} << "abc";
    }
    void eventOrder()
    {
        QFETCH(QString, start);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, keyText);
        QFETCH(bool, discard);
        QFETCH(QStringList, events);
        QFETCH(QString, text);
        Open(start);
        m_edit->SetSelection(selStart, selLength);
        m_discardAll = discard;
        Key(Qt::Key(key), Qt::KeyboardModifiers(modifiers), keyText);
        QCOMPARE(m_events, events);
        QCOMPARE(m_edit->Text(), text);
    }

    // The owner's key code of 0 stops the edit's own handling; the character still follows.
    void cancelledKeys()
    {
        Open(QStringLiteral("abc"));
        m_edit->SetSelection(0, 0);
        m_cancelKey = 46;
        Key(Qt::Key_Delete);
        QCOMPARE(m_edit->Text(), QStringLiteral("abc"));
        m_cancelKey = 65;
        Key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCOMPARE(m_edit->Text(), QStringLiteral("aabc"));
        QCOMPARE(m_events, (QStringList{"down:46", "down:65", "press:a", "change:aabc"}));
    }

    void ctrlASelectsAll()
    {
        Open(QStringLiteral("abc"));
        m_edit->SetSelection(1, 0);
        m_discardAll = true;
        Key(Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
        QCOMPARE(m_edit->SelStart(), 0);
        QCOMPARE(m_edit->SelLength(), 3);
    }

    // Backspace in an empty edit reports the empty text only after the user has edited it.
    void backspaceInEmptyEdit()
    {
        Open();
        Key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        Key(Qt::Key_Backspace);
        Key(Qt::Key_Backspace);
        QCOMPARE(m_events.filter(QStringLiteral("change:")),
                 (QStringList{"change:a", "change:", "change:", "change:"}));
        m_edit->SetText(QStringLiteral("x"));
        m_edit->Clear();
        m_events.clear();
        Key(Qt::Key_Backspace);
        QCOMPARE(m_events, (QStringList{"down:8", "press:#8"}));
    }

    // Paste brings in the first line only, in place of the selection, and leaves the
    // pasted part selected when it replaced a selection.
    void pasteRules_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("newSelStart");
        QTest::addColumn<int>("newSelLength");
        QTest::addColumn<int>("reports");

        QTest::newRow("CR LF at the caret") << "xy" << 1 << 0 << "AB\r\nCD" << "xABy" << 3 << 0 << 1;
        QTest::newRow("LF at the caret") << "xy" << 1 << 0 << "AB\nCD" << "xABy" << 3 << 0 << 1;
        QTest::newRow("CR alone at the caret") << "xy" << 2 << 0 << "AB\rCD" << "xyAB" << 4 << 0 << 1;
        QTest::newRow("CR LF over a selection") << "xyz" << 1 << 1 << "AB\r\nCD" << "xABz" << 1 << 2 << 1;
        QTest::newRow("LF over a selection") << "xyz" << 1 << 1 << "AB\nCD" << "xABz" << 1 << 2 << 1;
        QTest::newRow("one line over all") << "xyz" << 0 << 3 << "AB" << "AB" << 0 << 2 << 1;
        QTest::newRow("one line at the end") << "xy" << 2 << 0 << "AB" << "xyAB" << 4 << 0 << 1;
        QTest::newRow("a line break first, over all") << "xy" << 0 << 2 << "\r\nCD" << "" << 0 << 0 << 1;
        QTest::newRow("a line break first, at the caret") << "xy" << 1 << 0 << "\nCD" << "xy" << 1 << 0 << 0;
        QTest::newRow("empty clipboard") << "xy" << 1 << 0 << "" << "xy" << 1 << 0 << 0;
    }
    void pasteRules()
    {
        QFETCH(QString, start);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, clip);
        QFETCH(QString, text);
        QFETCH(int, newSelStart);
        QFETCH(int, newSelLength);
        QFETCH(int, reports);
        Open(start);
        m_edit->SetSelection(selStart, selLength);
        SetClipboard(clip);
        Key(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(m_edit->Text(), text);
        QCOMPARE(m_edit->SelStart(), newSelStart);
        QCOMPARE(m_edit->SelLength(), newSelLength);
        QCOMPARE(m_events.filter(QStringLiteral("change:")).size(), reports);
        if (reports)
            QCOMPARE(m_events.last(), QStringLiteral("change:") + text);
        QVERIFY(m_events.filter(QStringLiteral("press:")).isEmpty()); // pasted text is not filtered
    }

    // Every way of pasting follows the same rule.
    void pasteRoutes_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("shift+insert") << "key";
        QTest::newRow("context menu") << "menu";
        QTest::newRow("ctrl+v let through") << "ctrl+v";
    }
    void pasteRoutes()
    {
        QFETCH(QString, route);
        Open(QStringLiteral("q"));
        m_edit->SetSelection(1, 0);
        SetClipboard(QStringLiteral("ab\ncd"));
        if (route == QLatin1String("key")) {
            Key(Qt::Key_Insert, Qt::ShiftModifier);
        } else if (route == QLatin1String("ctrl+v")) {
            Key(Qt::Key_V, Qt::ControlModifier, QStringLiteral("v"));
        } else {
            std::unique_ptr<QMenu> menu(m_edit->CreateStandardContextMenu());
            auto *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
            QVERIFY(paste && paste->isEnabled());
            paste->trigger();
        }
        QCOMPARE(m_edit->Text(), QStringLiteral("qab"));
        QCOMPARE(m_edit->CursorPosition(), 3);
    }

    void pasteNothing_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("read-only") << "read-only";
        QTest::newRow("image only") << "image";
        QTest::newRow("clipboard held elsewhere") << "locked";
    }
    void pasteNothing()
    {
        QFETCH(QString, why);
        Open(QStringLiteral("ab"));
        SetClipboard(QStringLiteral("zz"));
        std::optional<TestSeams::ClipboardOpenFailure> locked;
        if (why == QLatin1String("read-only")) {
            m_edit->SetReadOnly(true);
        } else if (why == QLatin1String("image")) {
            auto *data = new QMimeData;
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
            QGuiApplication::clipboard()->setMimeData(data);
        } else {
            locked.emplace(QStringLiteral("x"));
        }
        Key(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(m_edit->Text(), QStringLiteral("ab"));
        QVERIFY(m_events.filter(QStringLiteral("change:")).isEmpty());
    }

    // A discarded character drops the replace-all of its keystroke: the paste that
    // follows is reported with its own text.
    void discardedCharacterThenPaste()
    {
        Open(QStringLiteral("abc"));
        m_edit->SelectAll();
        m_discardAll = true;
        Key(Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"));
        SetClipboard(QStringLiteral("Z"));
        Key(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(m_edit->Text(), QStringLiteral("Z"));
        QCOMPARE(m_events.filter(QStringLiteral("change:")), QStringList{"change:Z"});
    }

    // A cut that cannot reach the clipboard removes nothing.
    void cutWithoutClipboard()
    {
        Open(QStringLiteral("abc"));
        m_edit->SelectAll();
        const TestSeams::ClipboardOpenFailure locked(QStringLiteral("x"));
        Key(Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(m_edit->Text(), QStringLiteral("abc"));
        QVERIFY(m_events.filter(QStringLiteral("change:")).isEmpty());
    }

    void textProperty()
    {
        Open(QStringLiteral("ab"));
        m_edit->SetText(QStringLiteral("ab"));
        QVERIFY(m_events.isEmpty());
        m_edit->SetText(QStringLiteral("ab\r\ncd"));
        QCOMPARE(m_events, QStringList{"change:ab\r\ncd"});
        QCOMPARE(m_edit->Text(), QStringLiteral("ab\r\ncd"));
        QCOMPARE(m_edit->CursorPosition(), 0);
        QCOMPARE(m_edit->VisibleLineText(), QStringLiteral("ab\r\ncd"));
        // While the layout is applied no change is reported.
        m_events.clear();
        m_edit->BeginLoad();
        m_edit->SetText(QStringLiteral("loaded"));
        m_edit->Loaded();
        QVERIFY(m_events.isEmpty());
        QCOMPARE(m_edit->Version(), QStringLiteral("3.5.2.4"));
    }

    // A text with line breaks shows all of it on the one line, wherever the caret is:
    // the line break has a sign of its own between the lines.
    void showsTheWholeText()
    {
        Open();
        m_before->setFocus(); // no caret, no selection in the images
        auto image = [this](const QString &text, int caret) {
            m_edit->SetText(text);
            m_edit->SetSelection(caret, 0);
            return m_edit->grab().toImage();
        };
        const QImage first = image(QStringLiteral("ab"), 0);
        const QImage second = image(QStringLiteral("cd"), 0);
        QVERIFY(first != second);
        const QImage both = image(QStringLiteral("ab\r\ncd"), 0);
        QVERIFY(both != first);
        QVERIFY(both != second);
        QCOMPARE(image(QStringLiteral("ab\r\ncd"), 6), both);
        QVERIFY(image(QStringLiteral("abcd"), 0) != both);
        QVERIFY(image(QStringLiteral("ab\ncd"), 5) != image(QStringLiteral("abcd"), 4));
    }

    // Typing never inserts a line break; caret keys cross a CR LF as one step; Home and
    // End go to the ends of the whole text, the one line shown.
    void lineBreaks()
    {
        Open(QStringLiteral("ab\r\ncd"));
        m_edit->SetSelection(2, 0);
        Key(Qt::Key_Right);
        QCOMPARE(m_edit->CursorPosition(), 4);
        QCOMPARE(m_edit->VisibleLineText(), QStringLiteral("ab\r\ncd"));
        Key(Qt::Key_Left);
        QCOMPARE(m_edit->CursorPosition(), 2);
        Key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        Key(Qt::Key_Return, Qt::ControlModifier, QStringLiteral("\r"));
        QCOMPARE(m_edit->Text(), QStringLiteral("ab\r\ncd"));
        Key(Qt::Key_Delete);
        QCOMPARE(m_edit->Text(), QStringLiteral("abcd"));
        m_edit->SetText(QStringLiteral("ab\ncd"));
        m_edit->SetSelection(4, 0);
        Key(Qt::Key_Home);
        QCOMPARE(m_edit->CursorPosition(), 0);
        Key(Qt::Key_End);
        QCOMPARE(m_edit->CursorPosition(), 5);
    }

    // Enter and Ctrl+Enter in the edit never reach a default button of the window.
    void enterStaysInTheEdit()
    {
        QDialog dialog;
        auto *layout = new QVBoxLayout(&dialog);
        auto *edit = new TAdvEdit(&dialog);
        auto *button = new QPushButton(QStringLiteral("OK"), &dialog);
        button->setDefault(true);
        layout->addWidget(edit);
        layout->addWidget(button);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(clicks, 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit->Text(), QString());
    }

    // Entering by Tab selects everything; a click that gives the focus places the caret.
    void focusEntry()
    {
        Open(QStringLiteral("abcdef"));
        m_edit->SetFocusFontColor(0x0000FF); // red, as the design stores colours
        const QColor normal = m_before->palette().color(QPalette::Text);
        m_before->setFocus();
        QCOMPARE(m_edit->palette().color(QPalette::Text), normal);
        QTest::keyClick(m_before, Qt::Key_Tab);
        QVERIFY(m_edit->hasFocus());
        QCOMPARE(m_edit->SelLength(), 6);
        QCOMPARE(m_edit->palette().color(QPalette::Text), QColor(255, 0, 0));
        m_before->setFocus();
        QCOMPARE(m_edit->palette().color(QPalette::Text), normal);
        QTest::mouseClick(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(2));
        QVERIFY(m_edit->hasFocus());
        QCOMPARE(m_edit->SelLength(), 0);
        QCOMPARE(m_edit->CursorPosition(), 2);
    }

    // Every return of the focus selects the whole text again, also when the window comes
    // back or a box closes (an old partial selection would otherwise survive); only a click
    // places the caret, even when its press arrives before the focus does, as on X11.
    void selectAllOnFocusGain_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("cursor");
        QTest::newRow("tab") << "tab" << 6 << 6;
        QTest::newRow("backtab") << "backtab" << 6 << 6;
        QTest::newRow("window active again") << "window" << 6 << 6;
        QTest::newRow("click") << "click" << 0 << 2;
        QTest::newRow("click, focus after the press") << "late focus" << 0 << 2;
    }
    void selectAllOnFocusGain()
    {
        QFETCH(QString, way);
        QFETCH(int, selLength);
        QFETCH(int, cursor);
        Open(QStringLiteral("abcdef"));
        m_edit->SetSelection(3, 1);
        auto *after = new QPushButton(QStringLiteral("a"), m_window.get());
        after->setGeometry(0, 60, 40, 24);
        after->show();
        QWidget other;
        other.resize(50, 50);
        if (way == QLatin1String("tab")) {
            m_before->setFocus();
            QTest::keyClick(m_before, Qt::Key_Tab);
        } else if (way == QLatin1String("backtab")) {
            after->setFocus();
            QTest::keyClick(after, Qt::Key_Backtab);
        } else if (way == QLatin1String("click")) {
            m_before->setFocus();
            QTest::mouseClick(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(2));
        } else {
            if (way == QLatin1String("late focus"))
                m_before->setFocus();
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QVERIFY(!m_edit->hasFocus());
            if (way == QLatin1String("late focus"))
                QTest::mouseClick(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(2));
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        }
        QTRY_VERIFY(m_edit->hasFocus());
        QCOMPARE(m_edit->SelLength(), selLength);
        QCOMPARE(m_edit->CursorPosition(), cursor);
    }

    // A press inside the selection keeps it; the release puts the caret under the pointer.
    void pressInsideSelection()
    {
        Open(QStringLiteral("abcdef"));
        m_edit->SelectAll();
        QTest::mousePress(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(3) + QPoint(1, 0));
        QCOMPARE(m_edit->SelLength(), 6);
        QTest::mouseRelease(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(3) + QPoint(1, 0));
        QCOMPARE(m_edit->SelLength(), 0);
        QCOMPARE(m_edit->CursorPosition(), 3);
        // Elsewhere the press places the caret and a drag selects.
        QTest::mousePress(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(1));
        QTest::mouseMove(m_edit, PointAfter(4));
        QTest::mouseRelease(m_edit, Qt::LeftButton, Qt::NoModifier, PointAfter(4));
        QCOMPARE(m_edit->SelStart(), 1);
        QCOMPARE(m_edit->SelLength(), 3);
    }

    void doubleClickSelectsWord()
    {
        Open(QStringLiteral("abc def!"));
        const QPoint p = PointAfter(5);
        QTest::mousePress(m_edit, Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(m_edit, Qt::LeftButton, Qt::NoModifier, p);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, p, m_edit->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_edit, &dbl);
        QTest::mouseRelease(m_edit, Qt::LeftButton, Qt::NoModifier, p);
        QCOMPARE(m_edit->SelText(), QStringLiteral("def"));
    }

    // The menu's commands follow the edit's rules and report each change.
    void contextMenuCommands()
    {
        Open();
        Key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        Key(Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        auto run = [this](const char *name) {
            std::unique_ptr<QMenu> menu(m_edit->CreateStandardContextMenu());
            auto *a = menu->findChild<QAction *>(QLatin1String(name));
            QVERIFY2(a && a->isEnabled(), name);
            a->trigger();
        };
        m_events.clear();
        run("edit-undo");
        QCOMPARE(m_events, QStringList{"change:"});
        Key(Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
        run("select-all");
        m_events.clear();
        run("edit-cut");
        QCOMPARE(m_events, (QStringList{"change:", "change:"}));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("c"));
        m_edit->SetText(QStringLiteral("xyz"));
        m_edit->SetSelection(1, 1);
        m_events.clear();
        run("edit-delete");
        QCOMPARE(m_events, QStringList{"change:xz"});
        std::unique_ptr<QMenu> menu(m_edit->CreateStandardContextMenu());
        QVERIFY(!menu->findChild<QAction *>(QStringLiteral("edit-copy"))->isEnabled());
    }

    // A long line scrolls so the caret stays visible; a huge one stays cheap to show.
    void horizontalScroll()
    {
        Open();
        for (int i = 0; i < 60; ++i)
            Key(Qt::Key_W, Qt::NoModifier, QStringLiteral("w"));
        QVERIFY(m_edit->FirstVisible() > 0);
        const QImage atEnd = m_edit->grab().toImage();
        Key(Qt::Key_Home);
        QCOMPARE(m_edit->FirstVisible(), 0);
        Key(Qt::Key_End);
        QCOMPARE(m_edit->grab().toImage(), atEnd);
        // Deleting at the end pulls the text back so no blank shows on the right.
        const int before = m_edit->FirstVisible();
        for (int i = 0; i < 5; ++i)
            Key(Qt::Key_Backspace);
        QVERIFY(m_edit->FirstVisible() < before);

        m_edit->SetText(QString(1000000, QLatin1Char('A')));
        QCOMPARE(m_edit->FirstVisible(), 0);
        Key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(m_edit->CursorPosition(), 1000000);
        QVERIFY(m_edit->FirstVisible() > 1000000 - 100);
    }

    // Every character the edit holds is shown in the order it holds it: a line break, an
    // override, a right-to-left letter or a zero-width character neither hides nor moves
    // any other. Compared with the same text drawn one character at a time; the text in
    // another order, or without its invisible character, must be farther off.
    void showsEveryCharacterInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("misread"); // what a faulty edit shows instead
        QTest::newRow("line break") << QStringLiteral("ab\ncd") << QStringLiteral("ab");
        QTest::newRow("CR LF") << QStringLiteral("ab\r\ncd") << QStringLiteral("abcd");
        QTest::newRow("right-to-left override") << QStringLiteral("ab\u202Edc") << QStringLiteral("abcd");
        QTest::newRow("override, its sign kept") << QStringLiteral("ab\u202Edc") << QStringLiteral("ab\u202Ecd");
        QTest::newRow("isolate and embedding") << QStringLiteral("a\u2067bc\u2069\u202Bd") << QStringLiteral("abcd");
        QTest::newRow("Hebrew letters") << QStringLiteral("a\u05D0\u05D1b") << QStringLiteral("a\u05D1\u05D0b");
        QTest::newRow("zero-width space and joiner") << QStringLiteral("a\u200Bb\u200Dc") << QStringLiteral("abc");
        QTest::newRow("tab and blank") << QStringLiteral("a\tb c") << QStringLiteral("ab c");
        QTest::newRow("blanks") << QStringLiteral("a  b ") << QStringLiteral("a b");
    }
    void showsEveryCharacterInOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, misread);
        Open();
        m_edit->setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        m_before->setFocus(); // no caret, no selection
        m_edit->SetText(QString());
        const QImage empty = m_edit->grab().toImage();
        m_edit->SetText(text);
        const QImage shown = m_edit->grab().toImage();
        const QFontMetrics fm(m_edit->font());
        const QPointF guess(4, (m_edit->height() - fm.height() + 1) / 2);
        const QColor ink = m_edit->palette().color(QPalette::Text);
        const auto drawn = [&](const QString &t) {
            return [&, t](QPointF origin) { return OneAtATime(empty, m_edit->font(), ink, t, origin); };
        };
        const int right = BestMatch(shown, guess, drawn(text));
        const int wrong = BestMatch(shown, guess, drawn(misread));
        const int tolerance = 6;
        // Each character has a cell of its own, left of the next one's.
        int left = -1;
        for (qsizetype i = 0; i < text.size(); i += CharacterLength(text, i)) {
            const QRect cell = m_edit->CharacterRect(int(i));
            QVERIFY2(cell.width() > 0 && cell.left() > left, qPrintable(QStringLiteral("character %1").arg(i)));
            left = cell.left();
        }
        qInfo("%d pixels off; the misreading %d", right, wrong);
        QVERIFY2(right <= tolerance, qPrintable(QStringLiteral("%1 pixels off").arg(right)));
        QVERIFY2(wrong > 3 * tolerance, qPrintable(QStringLiteral("the misreading only %1 pixels off").arg(wrong)));
    }

    // A selected sign is drawn as selected text: on the highlight, in the highlighted
    // text's colour, so a selection over it looks like one over any other character.
    void selectedSigns()
    {
        Open(QStringLiteral("a\tb\u202Ec"));
        m_edit->SelectAll();
        QVERIFY(m_edit->hasFocus());
        const QImage shown = m_edit->grab().toImage();
        const QColor highlight = m_edit->palette().color(QPalette::Highlight);
        const QColor text = m_edit->palette().color(QPalette::HighlightedText);
        for (int pos : {1, 3}) {
            const QRect cell = m_edit->CharacterRect(pos);
            QVERIFY(!cell.isEmpty());
            int back = 0, ink = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const QColor c = shown.pixelColor(x, y);
                    back += c == highlight;
                    ink += c == text;
                }
            QVERIFY2(back > cell.width() * cell.height() / 2, qPrintable(QString::number(pos)));
            QVERIFY2(ink >= 4, qPrintable(QString::number(pos)));
        }
    }

    // The characters that can be typed look exactly as the plain text layout draws them:
    // what keeps other characters in place leaves these alone.
    void typedTextLooksPlain()
    {
        Open();
        m_edit->setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        m_edit->resize(700, m_edit->height());
        m_before->setFocus();
        m_edit->SetText(QString());
        const QImage empty = m_edit->grab().toImage();
        const QString typed = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@?!#&()<>[]_\\/");
        for (const QString &part : {typed.left(38), typed.mid(38)}) {
            m_edit->SetText(part);
            const QImage shown = m_edit->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QTextLayout layout(part, m_edit->font());
            QTextOption option;
            option.setWrapMode(QTextOption::NoWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLeadingIncluded(true);
            layout.endLayout();
            // Where the edit has always put its text: the line edit's contents less a
            // margin of 2 by 1, the line centred in them.
            QStyleOptionFrame opt;
            opt.initFrom(m_edit);
            opt.rect = m_edit->rect();
            opt.lineWidth = m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, m_edit);
            opt.state |= QStyle::State_Sunken;
            const QRect r = m_edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, m_edit).adjusted(2, 1, -2, -1);
            const int top = r.y() + (r.height() - QFontMetrics(m_edit->font()).height() + 1) / 2;
            QImage plain = empty.convertToFormat(QImage::Format_RGB32);
            QPainter p(&plain);
            p.setPen(m_edit->palette().color(QPalette::Text));
            layout.draw(&p, QPointF(r.x(), top));
            p.end();
            const bool found = plain == shown;
            QVERIFY2(found, qPrintable(part));
        }
    }

    void inputMethodOff()
    {
        Open();
        QVERIFY(m_edit->testAttribute(Qt::WA_InputMethodEnabled));
        m_edit->SetImeMode(TCustomAdvEdit::imDisable);
        QVERIFY(!m_edit->testAttribute(Qt::WA_InputMethodEnabled));
    }
};

QTEST_MAIN(TestAdvEdit)
#include "tst_advedit.moc"
