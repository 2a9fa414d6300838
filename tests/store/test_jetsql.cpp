// The dialect's text, LIKE and date-part rules: hand-computed cases, and the
// C++ form agreeing with the SQL form on a real SQLite connection, so a report
// selects exactly the calls a filter shows.
#include "store/JetSql.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>

using namespace store;
using namespace Qt::StringLiterals;

namespace {

QSqlDatabase memory()
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("jet"), false);
    if (!db.isValid()) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("jet"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        const QVariant handle = db.driver()->handle();
        if (!jet::installTextRules(*static_cast<sqlite3* const*>(handle.constData())))
            qWarning("the text rules were refused");
    }
    return db;
}

// A connection with SQLite's own ASCII-only rules, as the sqlite3 command line has them.
QVariant plainValue(const QString& expression, const QVariantList& bound)
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("plain"), false);
    if (!db.isValid()) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT ") + expression);
    for (int i = 0; i < bound.size(); ++i)
        q.bindValue(i, bound.at(i));
    return q.exec() && q.next() ? q.value(0) : QVariant();
}

QVariant sqlValue(const QString& expression, const QVariantList& bound = {})
{
    QSqlQuery q(memory());
    q.prepare(QStringLiteral("SELECT ") + expression);
    for (int i = 0; i < bound.size(); ++i)
        q.bindValue(i, bound.at(i));
    if (!q.exec() || !q.next()) {
        qWarning("%s: %s", qPrintable(expression), qPrintable(q.lastError().text()));
        return {};
    }
    return q.value(0);
}

} // namespace

class TestJetSql : public QObject {
    Q_OBJECT
private slots:
    void likeMatchesByHand_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("contains") << "Pin jam in deck"
                                  << "*JAM*" << true;
        QTest::newRow("contains, other case") << "PIN JAM"
                                              << "*jam*" << true;
        QTest::newRow("not contained") << "Ball stuck"
                                       << "*JAM*" << false;
        QTest::newRow("begins with") << "Jammed turret"
                                     << "JAM*" << true;
        QTest::newRow("whole value only") << "Jam"
                                          << "JA" << false;
        QTest::newRow("one character") << "Lane 7"
                                       << "LANE ?" << true;
        QTest::newRow("one character, not two") << "Lane 17"
                                                << "LANE ?" << false;
        QTest::newRow("digit") << "Lane 7"
                               << "Lane #" << true;
        QTest::newRow("digit, not letter") << "Lane X"
                                           << "Lane #" << false;
        QTest::newRow("class") << "Cat"
                               << "[BC]AT" << true;
        QTest::newRow("range") << "Mat"
                               << "[A-N]at" << true;
        QTest::newRow("negated class") << "Mat"
                                       << "[!M]at" << false;
        QTest::newRow("negated range") << "Bat"
                                       << "[!M-Z]at" << true;
        QTest::newRow("bracketed star is a star") << "5*3"
                                                  << "5[*]3" << true;
        QTest::newRow("bracketed star, not any run") << "5x3"
                                                     << "5[*]3" << false;
        QTest::newRow("bracketed question mark") << "Why?"
                                                 << "Why[?]" << true;
        QTest::newRow("bracketed hash") << "No #5"
                                        << "No [#]5" << true;
        QTest::newRow("bracketed bracket") << "a[b"
                                           << "a[[]b" << true;
        QTest::newRow("percent is plain") << "50% off"
                                          << "50% off" << true;
        QTest::newRow("percent is not a run") << "50 off"
                                              << "50% off" << false;
        QTest::newRow("underscore is plain") << "a_b"
                                             << "a_b" << true;
        QTest::newRow("underscore is not one") << "axb"
                                               << "a_b" << false;
        QTest::newRow("caret in class") << "^"
                                        << "[^]" << true;
        QTest::newRow("caret class, other") << "a"
                                            << "[^x]" << false;
        QTest::newRow("closing bracket outside") << "a]"
                                                 << "a]" << true;
        QTest::newRow("empty pattern, empty value") << ""
                                                    << "" << true;
        QTest::newRow("star matches empty") << ""
                                            << "*" << true;
        QTest::newRow("non-ASCII exact") << "Café"
                                         << "*é" << true;
        QTest::newRow("non-ASCII case is folded") << "CAFÉ"
                                                  << "*é" << true;
        QTest::newRow("umlaut, other case") << "Müller"
                                            << "MÜLLER" << true;
        QTest::newRow("umlaut in a run") << "Ölwanne leaking"
                                         << "*ölwanne*" << true;
        QTest::newRow("umlaut, other letter") << "Muller"
                                              << "MÜLLER" << false;
        QTest::newRow("sharp s, capital") << "STRAẞE"
                                          << "stra?e" << true;
        QTest::newRow("final sigma") << "ΟΔΟΣ"
                                     << "οδος" << true;
        QTest::newRow("class of capitals") << "ö"
                                           << "[Ö]" << true;
        QTest::newRow("unclosed bracket") << "a[b"
                                          << "a[b" << false;
        QTest::newRow("many stars") << QString(60, QLatin1Char('a')) << QString(30, QLatin1Char('*')) + u"b"_s << false;
    }

    void likeMatchesByHand()
    {
        QFETCH(QString, value);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(jet::like(value, pattern), matches);
        const auto sql = jet::likeSql(QStringLiteral("?"), pattern);
        if (!sql) {
            QVERIFY(!matches);
            return;
        }
        QCOMPARE(sqlValue(*sql, {value}).toInt(), matches ? 1 : 0);
    }

    void likeAgreesWithItsSqlForm()
    {
        const QStringList values = {u""_s,        u"a"_s,          u"A"_s,      u"ab"_s,  u"Ball stuck in pit"_s,
                                    u"PIN JAM"_s, u"pin jam 12"_s, u"x-ray"_s,  u"]"_s,   u"^a"_s,
                                    u"[x]"_s,     u"*"_s,          u"?"_s,      u"#"_s,   u"5*3"_s,
                                    u"Größe"_s,   u"naïve"_s,      u"O'NEIL"_s, u"a-b"_s, u"9"_s,
                                    u"Lane 10"_s, u"lane 1"_s,     u"!"_s,      u"-"_s};
        const QStringList patterns = {u"*"_s,      u"?"_s,       u"#"_s,     u"a*"_s,     u"*a"_s,     u"*A*"_s,
                                      u"[a-c]*"_s, u"[!a-c]*"_s, u"[]a]"_s,  u"[]]*"_s,   u"[!]]*"_s,  u"[-a]*"_s,
                                      u"[a-]"_s,   u"[^]*"_s,    u"[!^]*"_s, u"[*]"_s,    u"*[?]*"_s,  u"*[#]*"_s,
                                      u"#*"_s,     u"*#"_s,      u"L*#"_s,   u"*'*"_s,    u"O'*"_s,    u"*ß*"_s,
                                      u"[x]"_s,    u"[[]*"_s,    u"[!!]"_s,  u"!"_s,      u"[z-a]*"_s, u"*-*"_s,
                                      u"??"_s,     u"*?*?*"_s,   u"[0-9]"_s, u"lane ##"_s};
        for (const QString& pattern : patterns) {
            const auto sql = jet::likeSql(QStringLiteral("?"), pattern);
            QVERIFY2(sql, qPrintable(pattern));
            for (const QString& value : values) {
                const bool expected = jet::like(value, pattern);
                QVERIFY2(sqlValue(*sql, {value}).toInt() == (expected ? 1 : 0),
                         qPrintable(QStringLiteral("'%1' LIKE '%2': %3").arg(value, pattern, *sql)));
            }
        }
        // Null never matches, in either form.
        QVERIFY(sqlValue(*jet::likeSql(QStringLiteral("NULL"), QStringLiteral("*"))).isNull());
    }

    void unclosedBracketIsRefusedWithAReason()
    {
        Error error;
        QVERIFY(!jet::likeSql(QStringLiteral("x"), QStringLiteral("ab[c"), &error));
        QVERIFY(error.message.contains(QLatin1String("ab[c")));
    }

    void textComparesAsNocase()
    {
        const QStringList texts = {u""_s,       u"a"_s,      u"A"_s,       u"b"_s,          u"B"_s, u"ab"_s,
                                   u"Ab"_s,     u"é"_s,      u"É"_s,       u"z"_s,          u"Z"_s, u"_"_s,
                                   u"["_s,      u"~"_s,      u"ä"_s,       u"zz"_s,         u"ß"_s, u"ẞ"_s,
                                   u"Müller"_s, u"MÜLLER"_s, u"ölwanne"_s, u"Ölwanne"_s,    u"ı"_s, u"I"_s,
                                   u"ς"_s,      u"Σ"_s,      u"日本"_s,    u"\U0001F600"_s, u"ÿ"_s, u"Ÿ"_s};
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const int expected = sqlValue(QStringLiteral("CASE WHEN ? < ? COLLATE NOCASE THEN -1 WHEN ? = ? "
                                                             "COLLATE NOCASE THEN 0 ELSE 1 END"),
                                              {a, b, a, b})
                                         .toInt();
                QVERIFY2(jet::compareText(a, b) == expected, qPrintable(a + QStringLiteral(" vs ") + b));
                QCOMPARE(jet::caseKey(a) == jet::caseKey(b), expected == 0);
            }
        }
        QCOMPARE(jet::compareText(u"Müller"_s, u"MÜLLER"_s), 0);
        QCOMPARE(jet::compareText(u"ölwanne"_s, u"Ölwanne"_s), 0);
        QCOMPARE(sqlValue(QStringLiteral("upper(?)"), {u"müller ölwanne straße"_s}).toString(),
                 u"MÜLLER ÖLWANNE STRAßE"_s);
        QVERIFY(sqlValue(QStringLiteral("upper(NULL) IS NULL")).toBool());
    }

    void upperKeepsEveryCharacterAsItCompares()
    {
        // Every character through the connection's upper(), in long values (some grow as they are
        // upper-cased): what comes back compares equal to what went in, in C++ and in SQLite.
        QList<char32_t> all;
        for (char32_t c = 1; c <= 0x10FFFF; c += c < 0x30000 ? 1 : 97) {
            // Not the surrogates, nor the noncharacters that text conversion replaces.
            if ((c < 0xD800 || c > 0xDFFF) && (c & 0xFFFE) != 0xFFFE && !(c >= 0xFDD0 && c <= 0xFDEF))
                all << c;
        }
        for (qsizetype at = 0; at < all.size(); at += 4000) {
            const QString part = QString::fromUcs4(all.constData() + at, std::min<qsizetype>(4000, all.size() - at));
            const QString upper = sqlValue(QStringLiteral("upper(?)"), {part}).toString();
            QVERIFY(!upper.isEmpty());
            QVERIFY2(jet::compareText(part, upper) == 0, qPrintable(QString::number(at)));
            QCOMPARE(sqlValue(QStringLiteral("? = ? COLLATE NOCASE"), {part, upper}).toInt(), 1);
            QCOMPARE(sqlValue(QStringLiteral("upper(?)"), {upper}).toString(), upper);
        }
    }

    void asciiOrdersAsSqliteItself()
    {
        // The command line's NOCASE and ours agree wherever only ASCII is compared.
        QStringList texts;
        for (int c = 1; c < 128; ++c)
            texts << QString(QChar(c)) << QString(QChar(c)) + u"a"_s;
        texts << u""_s << u"Pin jam"_s << u"PIN JAM 2"_s;
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const QString form = QStringLiteral("CASE WHEN ? < ? COLLATE NOCASE THEN -1 WHEN ? = ? COLLATE NOCASE "
                                                    "THEN 0 ELSE 1 END");
                const int ours = sqlValue(form, {a, b, a, b}).toInt();
                QCOMPARE(ours, plainValue(form, {a, b, a, b}).toInt());
                QCOMPARE(jet::compareText(a, b), ours);
            }
            QCOMPARE(sqlValue(QStringLiteral("upper(?)"), {a}), plainValue(QStringLiteral("upper(?)"), {a}));
        }
    }

    void datePartsByHand_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("part");
        QTest::newRow("year") << "yyyy" << QDate(2004, 12, 7) << 2004;
        QTest::newRow("month") << "m" << QDate(2004, 12, 7) << 12;
        QTest::newRow("day") << "d" << QDate(2004, 12, 7) << 7;
        QTest::newRow("day of year, leap") << "y" << QDate(2004, 12, 31) << 366;
        QTest::newRow("quarter") << "q" << QDate(2004, 8, 1) << 3;
        QTest::newRow("weekday Sunday") << "w" << QDate(2004, 12, 5) << 1;
        QTest::newRow("weekday Saturday") << "w" << QDate(2004, 12, 11) << 7;
        // 2004 began on a Thursday: week 1 is Thu 1 to Sat 3 January.
        QTest::newRow("week 1 to Saturday") << "ww" << QDate(2004, 1, 3) << 1;
        QTest::newRow("week 2 from Sunday") << "ww" << QDate(2004, 1, 4) << 2;
        QTest::newRow("week 10") << "ww" << QDate(2004, 2, 29) << 10;
        QTest::newRow("last week of 2004") << "ww" << QDate(2004, 12, 31) << 53;
        // 2006 began on a Sunday.
        QTest::newRow("week 1 of 2006 ends Saturday") << "ww" << QDate(2006, 1, 7) << 1;
        QTest::newRow("week 2 of 2006") << "ww" << QDate(2006, 1, 8) << 2;
    }

    void datePartsByHand()
    {
        QFETCH(QString, unit);
        QFETCH(QDate, date);
        QFETCH(int, part);
        QCOMPARE(jet::datePart(unit, date), std::optional<int>(part));
        QCOMPARE(sqlValue(*jet::datePartSql(unit, QStringLiteral("d")) + QStringLiteral(" FROM (SELECT ? AS d)"),
                          {date.toString(Qt::ISODate)})
                     .toInt(),
                 part);
    }

    void datePartsAgreeWithTheirSqlFormEveryDay()
    {
        const QStringList units = {u"yyyy"_s, u"q"_s, u"m"_s, u"y"_s, u"d"_s, u"w"_s, u"ww"_s};
        for (const QString& unit : units) {
            const QString sql = *jet::datePartSql(unit, QStringLiteral("d")) + QStringLiteral(" FROM (SELECT ? AS d)");
            QSqlQuery q(memory());
            QVERIFY(q.prepare(QStringLiteral("SELECT ") + sql));
            for (QDate day(2003, 1, 1); day <= QDate(2008, 12, 31); day = day.addDays(1)) {
                q.bindValue(0, day.toString(Qt::ISODate));
                QVERIFY(q.exec() && q.next());
                QVERIFY2(q.value(0).toInt() == *jet::datePart(unit, day),
                         qPrintable(unit + QLatin1Char(' ') + day.toString(Qt::ISODate)));
            }
        }
        QVERIFY(!jet::datePart(QStringLiteral("h"), QDate(2004, 1, 1)));
        QVERIFY(!jet::datePartSql(QStringLiteral("h"), QStringLiteral("x")));
        QVERIFY(!jet::datePart(QStringLiteral("m"), QDate()));
        QVERIFY(sqlValue(*jet::datePartSql(QStringLiteral("m"), QStringLiteral("NULL"))).isNull());
    }
};

QTEST_GUILESS_MAIN(TestJetSql)
#include "test_jetsql.moc"
