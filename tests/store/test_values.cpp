// Conversions between what a control shows and what the database keeps, and
// the translation of the classic query dialect.
#include "store/FieldValue.h"

#include <QLocale>
#include <QTest>

using namespace store;

class TestValues : public QObject {
    Q_OBJECT
private slots:
    // Each run has its own locale; rows that name one set it for themselves.
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void numericText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("digits") << "12" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("blanks around") << " 7 " << true;
        QTest::newRow("sign") << "-3" << true;
        QTest::newRow("plus") << "+3" << true;
        QTest::newRow("decimal") << "1.5" << true;
        QTest::newRow("leading point") << ".5" << true;
        QTest::newRow("exponent") << "1e2" << true;
        QTest::newRow("lane pair dash") << "1-2" << false;
        QTest::newRow("lane pair slash") << "1/2" << false;
        QTest::newRow("letter") << "A" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << " " << false;
        QTest::newRow("two points") << "1.2.3" << false;
        QTest::newRow("sign only") << "-" << false;
    }
    void numericText()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(isNumericText(text), numeric);
    }

    void wholeNumbersRoundHalfToEven()
    {
        Error error;
        QCOMPARE(fromText(FieldType::Long, QStringLiteral("2.5"), &error)->toLongLong(), 2);
        QCOMPARE(fromText(FieldType::Long, QStringLiteral("3.5"), &error)->toLongLong(), 4);
        QCOMPARE(fromText(FieldType::Long, QStringLiteral(" 17 "), &error)->toLongLong(), 17);
        QVERIFY(fromText(FieldType::Long, QString(), &error)->isNull());
        QVERIFY(!fromText(FieldType::Long, QStringLiteral("12a"), &error));
        QCOMPARE(error.message, QStringLiteral("\"12a\" is not a number."));
        QVERIFY(!fromText(FieldType::Integer, QStringLiteral("40000"), &error));
        QVERIFY(!fromText(FieldType::Byte, QStringLiteral("-1"), &error));
    }

    // A date typed into a plain box is read in the user's own order of day
    // and month, never guessed.
    void datesParseInTheUsersConvention_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("en_US month first") << "en_US"
                                           << "12/7/2004" << QDate(2004, 12, 7);
        QTest::newRow("en_US two-digit year 20xx") << "en_US"
                                                   << "3/1/04" << QDate(2004, 3, 1);
        QTest::newRow("en_US two-digit year 19xx") << "en_US"
                                                   << "3/1/95" << QDate(1995, 3, 1);
        QTest::newRow("en_GB day first") << "en_GB"
                                         << "07/12/2004" << QDate(2004, 12, 7);
        QTest::newRow("en_GB the 13th") << "en_GB"
                                        << "13/12/2026" << QDate(2026, 12, 13);
        QTest::newRow("de_DE dotted") << "de_DE"
                                      << "08.12.2026" << QDate(2026, 12, 8);
        QTest::newRow("de_DE two-digit year") << "de_DE"
                                              << "08.12.26" << QDate(2026, 12, 8);
        QTest::newRow("ja_JP year first") << "ja_JP"
                                          << "2026/12/08" << QDate(2026, 12, 8);
        QTest::newRow("iso in any locale") << "de_DE"
                                           << "2026-12-08" << QDate(2026, 12, 8);
        QTest::newRow("en_GB impossible") << "en_GB"
                                          << "12/13/2026" << QDate();
        QTest::newRow("en_US impossible") << "en_US"
                                          << "13/45/2004" << QDate();
        QTest::newRow("leap day of a common year") << "en_US"
                                                   << "2/29/2005" << QDate();
        QTest::newRow("incomplete") << "en_US"
                                    << "12/0_/____" << QDate();
    }
    void datesParseInTheUsersConvention()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(parseDate(text), date);
        // What a plain box shows reads back as the same day.
        if (date.isValid())
            QCOMPARE(parseDate(toText(FieldType::Date, date)), date);
    }

    // The masked entries and the dialect's #m/d/y# literals are month first everywhere.
    void monthFirstDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("masked") << "12/07/2004" << QDate(2004, 12, 7);
        QTest::newRow("short") << "2/9/2004" << QDate(2004, 2, 9);
        QTest::newRow("00 is 2000") << "1/1/00" << QDate(2000, 1, 1);
        QTest::newRow("29 is 2029") << "1/1/29" << QDate(2029, 1, 1);
        QTest::newRow("30 is 1930") << "1/1/30" << QDate(1930, 1, 1);
        QTest::newRow("day first is no date") << "13/12/2026" << QDate();
        QTest::newRow("dots are not slashes") << "12.07.2004" << QDate();
        QTest::newRow("incomplete") << "12/0_/____" << QDate();
    }
    void monthFirstDates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(parseMonthFirstDate(text), date);
    }

    void datesStoreAsIsoAndShowByControl()
    {
        Error error;
        const auto value = fromText(FieldType::Date, QStringLiteral("2004-12-07"), &error);
        QVERIFY(value);
        QCOMPARE(toStored(FieldType::Date, *value).toString(), QStringLiteral("2004-12-07"));
        QCOMPARE(toText(FieldType::Date, QStringLiteral("2004-12-07"), Shown::Masked), QStringLiteral("12/07/2004"));
        QCOMPARE(toText(FieldType::Date, QStringLiteral("2004-12-07")),
                 QLocale().toString(QDate(2004, 12, 7), shortDateFormat()));
        QVERIFY(shortDateFormat().contains(QLatin1String("yyyy")));
        QVERIFY(!fromText(FieldType::Date, QStringLiteral("13/45/2004"), &error));
        QVERIFY(fromText(FieldType::Date, QStringLiteral("__/__/____"), &error)->isNull());
        // A stored value that is no ISO date is shown as it stands, never read in the user's order.
        QCOMPARE(fromStored(FieldType::Date, QStringLiteral("07/12/2004")), QVariant(QStringLiteral("07/12/2004")));
    }

    void typeCodesFromDeclaredTypes()
    {
        QCOMPARE(typeFromDeclared(QStringLiteral("DATETIME")), FieldType::Date);
        QCOMPARE(typeFromDeclared(QStringLiteral("TEXT(30)")), FieldType::Text);
        QCOMPARE(typeFromDeclared(QStringLiteral("MEMO TEXT")), FieldType::Memo);
        QCOMPARE(typeFromDeclared(QStringLiteral("LONG")), FieldType::Long);
        QCOMPARE(typeFromDeclared(QStringLiteral("INTEGER")), FieldType::Integer);
        QCOMPARE(typeFromDeclared(QStringLiteral("BYTE")), FieldType::Byte);
        QCOMPARE(typeFromDeclared(QStringLiteral("CURRENCY")), FieldType::Currency);
        QCOMPARE(typeFromDeclared(QStringLiteral("DOUBLE")), FieldType::Double);
        QCOMPARE(typeFromDeclared(QStringLiteral("YESNO")), FieldType::YesNo);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "test_values.moc"
