// The dictation view: its cells against the composer, the layout in groups of four, the
// keyboard highlight and what screen readers hear of it, opening from the main window,
// following its password, and leaving the settings file and the clipboard alone.
#include "Application.h"
#include "DictationView.h"
#include "ReadingComposer.h"
#include "TestFiles.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

namespace {

int Luma(QRgb c) { return (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c)) / 1000; }

bool Near(QRgb got, const QColor &want, int tolerance)
{
    return qAbs(qRed(got) - want.red()) <= tolerance && qAbs(qGreen(got) - want.green()) <= tolerance
        && qAbs(qBlue(got) - want.blue()) <= tolerance;
}

} // namespace

class TestDictation : public QObject, private TWindowFixture {
    Q_OBJECT

    TDictationView *View() const { return m_form ? m_form->findChild<TDictationView *>() : nullptr; }

    std::unique_ptr<TDictationGrid> ShownGrid(const QString &password, QSize size = QSize(900, 700))
    {
        auto grid = std::make_unique<TDictationGrid>();
        grid->resize(size);
        grid->SetPassword(password);
        grid->show();
        if (!QTest::qWaitForWindowExposed(grid.get()))
            qWarning("grid not exposed");
        grid->setFocus();
        return grid;
    }

private slots:
    void initTestCase() { InstallAccessibility(); }
    void init() { QVERIFY(SetUpWindow()); }
    void cleanup() { TearDownWindow(); }

    // Every character gets a cell in order, counted as the reading counts them (a
    // surrogate pair and a CR LF pair are one each); a readable one carries exactly the
    // composer's reading of it alone, prefix included; any other is marked, never
    // skipped, and named as the window's reading names it.
    void cells_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("classes"); // one digit per cell, 0 for no reading
        QTest::addColumn<QStringList>("names"); // the pieces of the cells without a reading
        QTest::newRow("letters and digit") << "Ab1" << "123" << QStringList();
        QTest::newRow("all symbols") << "@?!#&()<>[]_\\/" << "44444444444444" << QStringList();
        QTest::newRow("look-alikes") << "0O1lI" << "31321" << QStringList();
        QTest::newRow("blank and full-width") << QStringLiteral("a bＡ\u3000") << "20200"
                                              << QStringList{u"「空白」"_qs, u"「Ａ」"_qs, u"「U+3000」"_qs};
        QTest::newRow("two lines pasted") << "ab\r\ncd" << "22022" << QStringList{u"「改行」"_qs};
        QTest::newRow("surrogate pair") << QStringLiteral("x😀y") << "202" << QStringList{u"「😀」"_qs};
        QTest::newRow("lone surrogate") << (u"x"_qs + QChar(0xD83D) + u"y"_qs) << "202" << QStringList{u"「U+D83D」"_qs};
        QTest::newRow("hyphen and colon") << "A-:9" << "1003" << QStringList{u"「-」"_qs, u"「:」"_qs};
        QTest::newRow("override and tab") << QStringLiteral("a\u202E\t") << "200" << QStringList{u"「U+202E」"_qs, u"「タブ」"_qs};
    }
    void cells()
    {
        QFETCH(QString, password);
        QFETCH(QString, classes);
        QFETCH(QStringList, names);
        const QList<TDictationCell> cells = DictationCells(password);
        QCOMPARE(cells.size(), classes.size());
        QString joined;
        QStringList unreadable;
        for (int i = 0; i < cells.size(); ++i) {
            const TDictationCell &c = cells.at(i);
            joined += c.text;
            QCOMPARE(c.position, i + 1);
            QCOMPARE(c.cls, classes.at(i).digitValue());
            if (c.cls) {
                QCOMPARE(c.Reading(), ComposeReading(c.text, ReadingOptions()));
                QVERIFY2(c.prefix.endsWith(QLatin1Char(':')) && !c.piece.isEmpty(), qPrintable(c.Reading()));
                QCOMPARE(c.Glyph(), c.text);
            } else {
                QCOMPARE(c.prefix, QStringLiteral("読みなし"));
                unreadable << c.piece;
                // The window's reading of the character alone names it the same way.
                QCOMPARE(ComposeFullReading(c.text, ReadingOptions()), u"記号:"_qs + c.piece);
                // Something visible stands in the large glyph's place.
                QVERIFY(!c.Glyph().trimmed().isEmpty());
            }
        }
        QCOMPARE(joined, password);
        QCOMPARE(unreadable, names);
    }

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("7th x") << "Kanavox1" << 6 << QStringLiteral("7文字目 小文字:エックス");
        QTest::newRow("first A") << "A" << 0 << QStringLiteral("1文字目 大文字:エー");
        QTest::newRow("yen sign") << "ab\\" << 2 << QStringLiteral("3文字目 記号:円記号");
        QTest::newRow("9 like Q") << "Q9" << 1 << QStringLiteral("2文字目 数字:キュー");
        QTest::newRow("blank") << "a b" << 1 << QStringLiteral("2文字目 読みなし 「空白」");
        QTest::newRow("12th") << "aaaaaaaaaaa<" << 11 << QStringLiteral("12文字目 記号:不等号（より小）");
    }
    void accessibleNames()
    {
        QFETCH(QString, password);
        QFETCH(int, index);
        QFETCH(QString, name);
        QCOMPARE(DictationCells(password).at(index).AccessibleName(), name);
        // The same name reaches assistive technology through the grid's accessible list.
        auto grid = ShownGrid(password);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(grid.get());
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), DictationCells(password).size());
        QAccessibleInterface *item = list->child(index);
        QVERIFY(item);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), name);
        QCOMPARE(list->indexOfChild(item), index);
        QCOMPARE(item->parent(), list);
    }

    // Rows of whole groups of four while a group fits; single cells below that; the gap
    // after every fourth cell, and every cell inside the width it was laid out for.
    void layout_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("perRow");
        QTest::addColumn<int>("rows");
        QTest::newRow("short") << 3 << 1000 << 4 << 1;
        QTest::newRow("one group exactly") << 4 << 2000 << 4 << 1;
        QTest::newRow("16 in two rows") << 16 << 1000 << 8 << 2;
        QTest::newRow("100 wide") << 100 << 1300 << 8 << 13;
        QTest::newRow("100 three groups") << 100 << 1400 << 12 << 9;
        QTest::newRow("100 narrow") << 100 << 300 << 2 << 50;
        QTest::newRow("narrower than a cell") << 5 << 50 << 1 << 5;
        QTest::newRow("empty") << 0 << 800 << 4 << 0;
    }
    void layout()
    {
        QFETCH(int, count);
        QFETCH(int, width);
        QFETCH(int, perRow);
        QFETCH(int, rows);
        using namespace DictationMetrics;
        const QSize cell(100, 150);
        const TDictationLayout l = LayoutDictation(count, cell, width);
        QCOMPARE(l.perRow, perRow);
        QCOMPARE(l.cells.size(), count);
        int rowsSeen = 0;
        for (int i = 0; i < count; ++i) {
            const QRect &r = l.cells.at(i);
            QCOMPARE(r.size(), cell);
            if (i % perRow == 0) {
                ++rowsSeen;
                QCOMPARE(r.left(), kMargin);
                QCOMPARE(r.top(), kMargin + (i / perRow) * (cell.height() + kRowSpacing));
            } else {
                const QRect &prev = l.cells.at(i - 1);
                QCOMPARE(r.top(), prev.top());
                const int gap = r.left() - prev.right() - 1;
                QCOMPARE(gap, i % kGroupSize == 0 ? kGroupGap : kCellSpacing);
            }
            if (perRow > 1)
                QVERIFY2(r.right() < width - kMargin, qPrintable(QString::number(i)));
        }
        QCOMPARE(rowsSeen, rows);
        if (count)
            QCOMPARE(l.size.height(), l.cells.last().bottom() + 1 + kMargin);
    }

    // Each class colour, and the marking of a character without reading, reads at 4.5:1
    // or better on every background a cell can have.
    void contrast_data()
    {
        QTest::addColumn<int>("cls");
        QTest::addColumn<QColor>("back");
        const QList<QPair<const char *, QColor>> backs = {{"cell", DictationColours::CellBack()},
                                                          {"current", DictationColours::CurrentBack()},
                                                          {"unreadable", DictationColours::UnreadableBack()}};
        for (int cls = 0; cls <= 4; ++cls)
            for (const auto &b : backs)
                QTest::addRow("class %d on %s", cls, b.first) << cls << b.second;
    }
    void contrast()
    {
        QFETCH(int, cls);
        QFETCH(QColor, back);
        QCOMPARE(qRound(ContrastRatio(Qt::black, Qt::white) * 100), 2100);
        const double ratio = ContrastRatio(DictationColours::Class(cls), back);
        QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
        QVERIFY(ContrastRatio(DictationColours::Glyph(), back) >= 7.0);
        QVERIFY(ContrastRatio(DictationColours::Position(), back) >= 4.5);
    }

    // What is painted: the class bar in its colour, the highlighted and the unreadable
    // backgrounds, a glyph at least 48 px tall, and the view's own page colour even
    // under a dark desktop palette.
    void painting()
    {
        const QPalette saved = QApplication::palette();
        QPalette dark = saved;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Base, Qt::black);
        QApplication::setPalette(dark);
        auto grid = ShownGrid(QStringLiteral("A b7"));
        // Rendered at a device pixel ratio of 1 whatever the screen's scale.
        QImage img(grid->viewport()->size(), QImage::Format_RGB32);
        grid->viewport()->render(&img);
        QApplication::setPalette(saved);
        QCOMPARE(img.devicePixelRatio(), 1.0);
        const QList<QRect> &cells = grid->Layout().cells;
        QCOMPARE(grid->Current(), 0);
        // Flat fills: exact.
        QVERIFY(Near(img.pixel(cells[0].center().x(), cells[0].top() + DictationMetrics::kClassBar - 1), DictationColours::Class(1), 0));
        QVERIFY(Near(img.pixel(cells[1].center().x(), cells[1].top() + 2), DictationColours::Class(0), 0));
        QVERIFY(Near(img.pixel(cells[3].center().x(), cells[3].top() + 2), DictationColours::Class(3), 0));
        QVERIFY(Near(img.pixel(cells[0].right() - 8, cells[0].top() + 30), DictationColours::CurrentBack(), 0));
        QVERIFY(Near(img.pixel(cells[1].right() - 8, cells[1].top() + 30), DictationColours::UnreadableBack(), 0));
        QVERIFY(Near(img.pixel(cells[2].right() - 8, cells[2].top() + 30), DictationColours::CellBack(), 0));
        QVERIFY(Near(img.pixel(2, 2), DictationColours::Page(), 0));
        // The "A": rows of the cell holding dark ink, tolerant of anti-aliasing.
        int top = -1, bottom = -1;
        for (int y = cells[0].top() + 8; y < cells[0].bottom(); ++y) {
            for (int x = cells[0].left() + 4; x < cells[0].right() - 4; ++x) {
                if (Luma(img.pixel(x, y)) < 60) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
            }
        }
        QVERIFY2(bottom - top + 1 >= 48, qPrintable(QStringLiteral("glyph ink %1 px tall").arg(bottom - top + 1)));
    }

    void keys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("current");
        QTest::newRow("start") << QList<int>{} << 0;
        QTest::newRow("right twice") << QList<int>{Qt::Key_Right, Qt::Key_Right} << 2;
        QTest::newRow("left at the start") << QList<int>{Qt::Key_Left} << 0;
        QTest::newRow("end") << QList<int>{Qt::Key_End} << 9;
        QTest::newRow("right at the end") << QList<int>{Qt::Key_End, Qt::Key_Right} << 9;
        QTest::newRow("end home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0;
        QTest::newRow("end left") << QList<int>{Qt::Key_End, Qt::Key_Left} << 8;
    }
    void keys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, current);
        auto grid = ShownGrid(QStringLiteral("abcdefghij"));
        for (int k : keys)
            QTest::keyClick(grid.get(), Qt::Key(k));
        QCOMPARE(grid->Current(), current);
    }

    // What a screen reader finds on the focus or selection event a move sends: the
    // highlighted cell as the list's focused, selected child, under its own name, and no
    // other cell selected. (The events themselves need a platform bridge; offscreen has
    // none, so QAccessible stays inactive here.)
    void highlightAsReaderSeesIt()
    {
        auto grid = ShownGrid(QStringLiteral("Kanavox1"));
        QTRY_VERIFY(grid->hasFocus());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(grid.get());
        QCOMPARE(list->focusChild(), list->child(0));
        for (int i = 1; i <= 7; ++i) {
            QTest::keyClick(grid.get(), Qt::Key_Right);
            QAccessibleInterface *focused = list->focusChild();
            QVERIFY(focused);
            QCOMPARE(list->indexOfChild(focused), i);
            QVERIFY(focused->state().focused && focused->state().selected);
            QVERIFY(!list->child(i - 1)->state().selected);
            QVERIFY(list->child(i - 1)->state().focusable);
        }
        QCOMPARE(list->focusChild()->text(QAccessible::Name), QStringLiteral("8文字目 数字:イチ"));
        QTest::keyClick(grid.get(), Qt::Key_Home);
        QCOMPARE(list->focusChild()->text(QAccessible::Name), QStringLiteral("1文字目 大文字:ケイ"));
        // The cell's place on screen is where it is painted.
        const QRect r = grid->VisualRect(0);
        QCOMPARE(list->focusChild()->rect(), QRect(grid->viewport()->mapToGlobal(r.topLeft()), r.size()));
        QCOMPARE(list->childAt(list->focusChild()->rect().center().x(), list->focusChild()->rect().center().y()),
                 list->child(0));
        grid->clearFocus();
        QTRY_VERIFY(!grid->hasFocus());
        QVERIFY(!list->focusChild());
        QVERIFY(list->child(0)->state().selected);
    }

    // A highlight beyond the view scrolls it into sight.
    void highlightScrolls()
    {
        auto grid = ShownGrid(QString(200, QLatin1Char('x')), QSize(700, 400));
        QScrollBar *v = grid->verticalScrollBar();
        QVERIFY(v->maximum() > 0);
        QCOMPARE(v->value(), 0);
        QTest::keyClick(grid.get(), Qt::Key_End);
        QVERIFY(grid->viewport()->rect().contains(grid->VisualRect(199)));
        QTest::keyClick(grid.get(), Qt::Key_Home);
        QCOMPARE(v->value(), 0);
    }

    // Ctrl+L from the edit or from a button opens the view with the password so far; the
    // edit takes no character from it and a second Ctrl+L opens no second view.
    void ctrlLOpens_data()
    {
        QTest::addColumn<bool>("fromButton");
        QTest::newRow("edit") << false;
        QTest::newRow("button") << true;
    }
    void ctrlLOpens()
    {
        QFETCH(bool, fromButton);
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Ab1"));
        QWidget *target = m_form->edtPass;
        if (fromButton) {
            m_form->btnCopy->setFocus();
            QTRY_VERIFY(m_form->btnCopy->hasFocus());
            target = m_form->btnCopy;
        }
        QTest::keyClick(target, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(View());
        QTRY_VERIFY(View()->isVisible());
        QCOMPARE(View()->windowTitle(), QStringLiteral("Kanavox 大きく表示"));
        QCOMPARE(View()->Grid()->Cells().size(), 3);
        QCOMPARE(m_form->edtPass->Text(), QStringLiteral("Ab1"));
        QCOMPARE(Reading(), QStringLiteral("大文字:エー、小文字:ビー、数字:イチ"));
        m_form->ShowDictation();
        QCOMPARE(m_form->findChildren<TDictationView *>().size(), 1);
    }

    // Right-click on the result panel or its label offers one entry, which opens the view.
    void contextMenu_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("panel caption") << "panel";
        QTest::newRow("result label") << "label";
    }
    void contextMenu()
    {
        QFETCH(QString, target);
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("xy"));
        QWidget *w = target == QLatin1String("panel") ? static_cast<QWidget *>(m_form->AdvSmoothPanel1)
                                                       : static_cast<QWidget *>(m_form->lblEGkekka);
        const QPoint at(w->width() / 2, 8);
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, w->mapToGlobal(at));
        QApplication::sendEvent(w, &e);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = m_form->findChild<QMenu *>()) && menu->isVisible());
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("大きく表示(&L)"));
        QVERIFY(!View());
        menu->actions().first()->trigger();
        menu->close();
        QVERIFY(View());
        QCOMPARE(View()->Grid()->Password(), QStringLiteral("xy"));
    }

    // The view follows every change of the password, down to the empty note.
    void followsPassword()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("ab"));
        m_form->ShowDictation();
        TDictationGrid *grid = View()->Grid();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("C"));
        QCOMPARE(grid->Password(), QStringLiteral("abC"));
        QCOMPARE(grid->Cells().last().AccessibleName(), QStringLiteral("3文字目 大文字:シー"));
        QGuiApplication::clipboard()->setText(QStringLiteral("p q"));
        QTest::keyClick(m_form->edtPass, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid->Cells().size(), 3);
        QCOMPARE(grid->Cells().at(1).cls, 0);
        QTest::keyClick(m_form->edtPass, Qt::Key_End);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(m_form->edtPass, Qt::Key_Backspace);
        QVERIFY(grid->Cells().isEmpty());
        QCOMPARE(grid->Current(), -1);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(grid);
        QCOMPARE(list->childCount(), 0);
        QCOMPARE(list->text(QAccessible::Description), TDictationGrid::EmptyNote());
    }

    void closeKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
    }
    void closeKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("ab"));
        m_form->ShowDictation();
        QPointer<TDictationView> view = View();
        view->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), view.data());
        QTest::keyClick(view->Grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(view.isNull());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_form->edtPass->Text(), QStringLiteral("ab"));
    }

    void fullScreenToggles()
    {
        Open();
        m_form->ShowDictation();
        TDictationView *view = View();
        view->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), view);
        QTest::keyClick(view->Grid(), Qt::Key_F11);
        QTRY_VERIFY(view->windowState() & Qt::WindowFullScreen);
        QTest::keyClick(view->Grid(), Qt::Key_F11);
        QTRY_VERIFY(!(view->windowState() & Qt::WindowFullScreen));
    }

    // Closing the main window takes the view with it; the settings file it writes is the
    // same as without the view, and the clipboard is never touched.
    void closesWithMainWindowWritingNothingElse()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Ab1"));
        QVERIFY(m_form->close());
        const QByteArray plain = ReadBytes(IniPath());
        QVERIFY(plain.startsWith("[Position]"));
        QVERIFY(QFile::remove(IniPath()));
        m_form.reset();

        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Ab1"));
        m_form->ShowDictation();
        QPointer<TDictationView> view = View();
        QTest::keyClick(view->Grid(), Qt::Key_End);
        QVERIFY(!QFile::exists(IniPath()));
        QVERIFY(m_form->close());
        QTRY_VERIFY(view.isNull());
        QCOMPARE(ReadBytes(IniPath()), plain);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    }

    // The window opens inside the screen's available area, showing the whole password
    // when it fits, else as tall as the area allows with a scroll bar.
    void initialSize_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << 0;
        QTest::newRow("8") << 8;
        QTest::newRow("16 mixed") << 16;
        QTest::newRow("200") << 200;
    }
    void initialSize()
    {
        QFETCH(int, length);
        Open();
        const QString mixed = QStringLiteral("Ka9v O0lI@#x7/Qb");
        QString password;
        for (int i = 0; i < length; ++i)
            password += mixed.at(i % mixed.size());
        m_form->edtPass->SetText(password);
        m_form->ShowDictation();
        TDictationView *view = View();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        const QRect avail = view->screen()->availableGeometry();
        QVERIFY2(avail.contains(view->frameGeometry()), qPrintable(QStringLiteral("%1x%2 on %3x%4")
            .arg(view->frameGeometry().width()).arg(view->frameGeometry().height()).arg(avail.width()).arg(avail.height())));
        TDictationGrid *grid = view->Grid();
        const bool scrolls = grid->verticalScrollBar()->maximum() > 0;
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
        if (length == 0)
            QVERIFY(!scrolls);
        if (length == 200)
            QVERIFY(scrolls);
        if (scrolls)
            QVERIFY2(view->height() >= avail.height() - 80, "a password that does not fit gets the area's height");
        else if (length)
            QVERIFY(grid->viewport()->rect().contains(grid->VisualRect(length - 1)));
    }
};

QTEST_MAIN(TestDictation)
#include "tst_dictation.moc"
