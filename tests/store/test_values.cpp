// Conversions between what a control shows and what the database keeps, and
// the translation of the classic query dialect.
#include "store/FieldValue.h"

#include <QLocale>
#include <QTest>

using namespace store;

class TestValues : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

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
        QString error;
        QCOMPARE(fromText(FieldType::Long, QStringLiteral("2.5"), &error)->toLongLong(), 2);
        QCOMPARE(fromText(FieldType::Long, QStringLiteral("3.5"), &error)->toLongLong(), 4);
        QCOMPARE(fromText(FieldType::Long, QStringLiteral(" 17 "), &error)->toLongLong(), 17);
        QVERIFY(fromText(FieldType::Long, QString(), &error)->isNull());
        QVERIFY(!fromText(FieldType::Long, QStringLiteral("12a"), &error));
        QCOMPARE(error, QStringLiteral("\"12a\" is not a number."));
        QVERIFY(!fromText(FieldType::Integer, QStringLiteral("40000"), &error));
        QVERIFY(!fromText(FieldType::Byte, QStringLiteral("-1"), &error));
    }

    void datesParseAndShow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("masked") << "12/07/2004" << QDate(2004, 12, 7);
        QTest::newRow("short") << "2/9/2004" << QDate(2004, 2, 9);
        QTest::newRow("two-digit year 20xx") << "3/1/04" << QDate(2004, 3, 1);
        QTest::newRow("two-digit year 19xx") << "3/1/95" << QDate(1995, 3, 1);
        QTest::newRow("iso") << "2026-12-08" << QDate(2026, 12, 8);
        QTest::newRow("impossible") << "13/45/2004" << QDate();
        QTest::newRow("leap day of a common year") << "02/29/2005" << QDate();
        QTest::newRow("incomplete") << "12/0_/____" << QDate();
    }
    void datesParseAndShow()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(parseDate(text), date);
    }

    void datesStoreAsIsoAndShowByControl()
    {
        QString error;
        const auto value = fromText(FieldType::Date, QStringLiteral("12/07/2004"), &error);
        QVERIFY(value);
        QCOMPARE(toStored(FieldType::Date, *value).toString(), QStringLiteral("2004-12-07"));
        QCOMPARE(toText(FieldType::Date, QStringLiteral("2004-12-07"), Shown::Masked), QStringLiteral("12/07/2004"));
        QCOMPARE(toText(FieldType::Date, QStringLiteral("2004-12-07")), QStringLiteral("12/7/2004"));
        QVERIFY(!fromText(FieldType::Date, QStringLiteral("13/45/2004"), &error));
        QVERIFY(fromText(FieldType::Date, QStringLiteral("__/__/____"), &error)->isNull());
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
