// The reading model: which changes it reports (once each, after its state is the new one)
// and which it does not, and that its pieces make up the reading it shows.
#include "OptionTable.h"
#include "ReadingModel.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Options written as one digit per row of kOptionRows, in order: "11000" are the defaults.
ReadingOptions Options(const QString &digits)
{
    ReadingOptions o;
    qsizetype i = 0;
    for (const TOptionRow &row : kOptionRows)
        o.*row.member = digits.at(i++) == u'1';
    return o;
}

} // namespace

class TestReadingModel : public QObject {
    Q_OBJECT

private slots:
    void startsEmpty()
    {
        TReadingModel model;
        QVERIFY(model.Password().isEmpty());
        QVERIFY(model.Reading().isEmpty());
        QVERIFY(model.Pieces().isEmpty());
        QCOMPARE(model.Options().insertClass, ReadingOptions().insertClass);
    }

    void changes_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("setter"); // password, options or both
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("newOptions");
        QTest::addColumn<int>("signals");
        QTest::addColumn<QString>("reading");
        QTest::newRow("same password again") << "Ab" << "11000" << "password" << "Ab" << "" << 0
                                             << "大文字:エー、小文字:ビー";
        QTest::newRow("a character more") << "Ab" << "11000" << "password" << "Ab1" << "" << 1
                                          << "大文字:エー、小文字:ビー、数字:イチ";
        QTest::newRow("same length, other case") << "Ab" << "11000" << "password" << "aB" << "" << 1
                                                 << "小文字:エー、大文字:ビー";
        QTest::newRow("erased") << "Ab" << "11000" << "password" << "" << "" << 1 << "";
        QTest::newRow("same options again") << "Ab" << "11000" << "options" << "" << "11000" << 0
                                            << "大文字:エー、小文字:ビー";
        QTest::newRow("blank separator") << "Ab" << "11000" << "options" << "" << "11100" << 1
                                         << "大文字:エー 小文字:ビー";
        QTest::newRow("last option") << "A@" << "11000" << "options" << "" << "11001" << 1
                                     << "大文字:エー、記号:@";
        QTest::newRow("an option the reading does not show") << "Ab" << "01000" << "options" << "" << "00000" << 1
                                                             << "エー、ビー";
        QTest::newRow("an option, empty password") << "" << "11000" << "options" << "" << "11010" << 1 << "";
        QTest::newRow("both at once") << "Ab" << "11000" << "both" << "b1" << "11100" << 1
                                      << "小文字:ビー 数字:イチ";
        QTest::newRow("both, only the password") << "Ab" << "11000" << "both" << "b" << "11000" << 1
                                                 << "小文字:ビー";
        QTest::newRow("both the same") << "Ab" << "11100" << "both" << "Ab" << "11100" << 0
                                       << "大文字:エー 小文字:ビー";
    }
    void changes()
    {
        QFETCH(QString, password);
        QFETCH(QString, options);
        QFETCH(QString, setter);
        QFETCH(QString, newPassword);
        QFETCH(QString, newOptions);
        TReadingModel model;
        model.Set(password, Options(options));
        QStringList seen;
        connect(&model, &TReadingModel::Changed, this, [&] { seen << model.Reading(); });
        if (setter == u"password")
            model.SetPassword(newPassword);
        else if (setter == u"options")
            model.SetOptions(Options(newOptions));
        else
            model.Set(newPassword, Options(newOptions));
        QTEST(int(seen.size()), "signals");
        QTEST(model.Reading(), "reading");
        // A listener reads the new state, not the one it replaces.
        if (!seen.isEmpty())
            QCOMPARE(seen.last(), model.Reading());
        QCOMPARE(model.Password(), setter == u"options" ? password : newPassword);
    }

    // The pieces cover the password character by character and join to the reading.
    void piecesMakeTheReading_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("options");
        QTest::newRow("defaults") << "Ab1@" << "11000";
        QTest::newRow("prefix per run") << "ABc12" << "10000";
        QTest::newRow("no prefix, blank") << "xY9" << "00100";
        QTest::newRow("kept digits and symbols") << "a1#" << "11011";
        QTest::newRow("unreadable characters") << QStringLiteral("a b\r\n\U0001F600") << "11000";
        QTest::newRow("empty") << "" << "11000";
    }
    void piecesMakeTheReading()
    {
        QFETCH(QString, password);
        QFETCH(QString, options);
        TReadingModel model;
        model.Set(password, Options(options));
        QCOMPARE(model.Reading(), ComposeFullReading(password, Options(options)));
        QStringList joined;
        qsizetype at = 0;
        for (const TReadingPiece &p : model.Pieces()) {
            QCOMPARE(p.start, at);
            QVERIFY(p.length > 0);
            at += p.length;
            joined << p.prefix + p.reading;
        }
        QCOMPARE(at, password.size());
        const QString separator = Options(options).blankSeparator ? QStringLiteral(" ") : QStringLiteral("、");
        QCOMPARE(joined.join(separator), model.Reading());
    }
};

QTEST_GUILESS_MAIN(TestReadingModel)
#include "tst_readingmodel.moc"
