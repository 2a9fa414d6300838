// What a reader sees: each of the 24 reports run on a hostile log, written
// as PDF and read back with pdftotext. Every value of every selected row
// stands there in full, once, in report order; nothing is cut short with
// "…"; no page begins with a group's footing and none ends with a heading;
// the line under the title says the period in words. The rows expected are
// read from the file with plain SQL, not through the report engine.
#include "DrawnText.h"
#include "HostileLog.h"
#include "ReportFixture.h"

#include "reports/engine/Report.h"
#include "reports/engine/ReportDefinition.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <functional>

using reports::Format;
using reports::Report;
using reports::ReportDefinition;
using reports::ReportRequest;

namespace {

struct Call {
    qint64 id = 0;
    QMap<QString, QString> field; // by field name as stored; a NULL is a null QString
};

struct ListCase {
    QString file;
    QString selection; // what a prompt or the filter window passes; empty: the report's own
    QString sort;      // sort field 0 passed; empty: the report's own
    std::function<bool(const Call&)> selects;
    QString period; // the line under the title; empty: none
};

QString day(const Call& c)
{
    return c.field.value(QStringLiteral("DateNow"));
}

QList<ListCase> listCases()
{
    auto all = [](const Call&) { return true; };
    auto between = [](const char* from, const char* to) {
        return [from, to](const Call& c) { return day(c) >= QLatin1String(from) && day(c) <= QLatin1String(to); };
    };
    auto lane = [](const Call& c) { return c.field.value(QStringLiteral("LaneNo")).toInt(); };
    return {
        {QStringLiteral("alldata.rpt"), {}, {}, all, {}},
        {QStringLiteral("calls.rpt"), {}, {}, all, {}},
        {QStringLiteral("laneno.rpt"), {}, {}, all, {}},
        {QStringLiteral("smech1.rpt"), {}, {}, all, {}},
        {QStringLiteral("smech2.rpt"), {}, {}, all, {}},
        {QStringLiteral("daily.rpt"),
         {},
         {},
         between("2026-12-08", "2026-12-08"),
         QStringLiteral("Tuesday 12/08/2026")},
        {QStringLiteral("daybefor.rpt"),
         {},
         {},
         between("2026-12-07", "2026-12-07"),
         QStringLiteral("Monday 12/07/2026")},
        {QStringLiteral("weekly.rpt"),
         {},
         {},
         between("2026-12-06", "2026-12-12"),
         QStringLiteral("Sunday 12/06/2026 to Saturday 12/12/2026")},
        {QStringLiteral("mtodate.rpt"),
         {},
         {},
         between("2026-12-01", "2026-12-31"),
         QStringLiteral("12/01/2026 to 12/31/2026")},
        {QStringLiteral("ytodate.rpt"),
         {},
         {},
         between("2026-01-01", "2026-12-31"),
         QStringLiteral("01/01/2026 to 12/31/2026")},
        {QStringLiteral("seldate.rpt"),
         QStringLiteral("{DData.DateNow} >= Date (2026,11,30) and {DData.DateNow} <= Date (2026,12,07)"),
         {},
         between("2026-11-30", "2026-12-07"),
         QStringLiteral("11/30/2026 to 12/07/2026")},
        {QStringLiteral("sellane.rpt"),
         QStringLiteral("{DData.LaneNo} in 7 to 20"),
         {},
         [lane](const Call& c) { return lane(c) >= 7 && lane(c) <= 20; },
         QStringLiteral("Lanes 7 to 20")},
        {QStringLiteral("filter.rpt"), QStringLiteral("{DData.LaneNo} > 30 and {DData.callmade} LIKE \"*belt*\""),
         QStringLiteral("-{DData.DateNow}"),
         [lane](const Call& c) {
             return lane(c) > 30 && c.field.value(QStringLiteral("callmade")).contains(QLatin1String("belt"));
         },
         QStringLiteral("Lanes above 30 and Actual Call like \"*belt*\"")},
    };
}

// A stored value as the reports print it.
QString shown(const QString& value, Format format, bool isDate)
{
    if (value.isNull())
        return {};
    const QDate date = QDate::fromString(value.left(10), Qt::ISODate);
    if ((format == Format::Date || isDate) && format != Format::DayDate && date.isValid())
        return date.toString(QStringLiteral("MM/dd/yyyy"));
    if (format == Format::DayDate && date.isValid())
        return QLocale::c().dayName(date.dayOfWeek()) + QLatin1Char(' ') + date.toString(QStringLiteral("MM/dd/yyyy"));
    return value.trimmed();
}

int compareField(const Call& a, const Call& b, const QString& field)
{
    const QString x = a.field.value(field);
    const QString y = b.field.value(field);
    if (field == QLatin1String("LaneNo"))
        return x.toInt() - y.toInt();
    if (x.isNull() != y.isNull())
        return x.isNull() ? -1 : 1;
    return x.compare(y, Qt::CaseInsensitive);
}

// "+{DData.Name1}" as the field and its direction.
std::pair<QString, bool> sortKey(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("([+-]?)\\{\\w+\\.(\\w+)\\}"));
    const auto m = form.match(text);
    return {m.captured(2), m.captured(1) == QLatin1String("-")};
}

const QRegularExpression& footerLine()
{
    static const QRegularExpression line(QStringLiteral("^\\s*\\d+ calls?\\s*$"));
    return line;
}

} // namespace

class TestDrawn : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::TempDatabase> m_temp;
    QList<Call> m_calls;

    QStringList pdfOf(const QString& file, const QString& selection = {}, const QString& sort = {})
    {
        ReportRequest request = testing::requestFor(*m_temp, file, testing::hostileNow());
        if (!selection.isEmpty())
            request.selection = selection;
        if (!sort.isEmpty())
            request.sortFields[0] = sort;
        store::Error error;
        const auto report = Report::run(request, &error);
        if (!report) {
            qWarning("%s", qPrintable(error.text()));
            return {};
        }
        const QString pdf = QDir(m_temp->folder()).filePath(QFileInfo(file).baseName() + QStringLiteral(".pdf"));
        if (!report->writePdf(pdf, &error)) {
            qWarning("%s", qPrintable(error.text()));
            return {};
        }
        // STOPWELL_KEEP_PDF=<folder> keeps the PDFs to look at.
        if (qEnvironmentVariableIsSet("STOPWELL_KEEP_PDF"))
            QFile::copy(pdf, QDir(qEnvironmentVariable("STOPWELL_KEEP_PDF")).filePath(QFileInfo(pdf).fileName()));
        return testing::pdfPages(pdf);
    }

    static ReportDefinition definition(const QString& folder, const QString& file)
    {
        store::Error error;
        auto d = ReportDefinition::load(folder, file, &error);
        if (!d)
            qFatal("%s", qPrintable(error.text()));
        return *d;
    }

    static QList<Call> readCalls(testing::TempDatabase& db)
    {
        const QStringList fields = {QStringLiteral("DateNow"), QStringLiteral("Time"),     QStringLiteral("Weekday"),
                                    QStringLiteral("LaneNo"),  QStringLiteral("callmade"), QStringLiteral("Type"),
                                    QStringLiteral("Name1"),   QStringLiteral("Name2"),    QStringLiteral("Notes")};
        // Each value with a mark in front, so that NULL and empty text stay apart.
        QStringList select;
        for (const QString& f : fields)
            select << QStringLiteral("CASE WHEN %1 IS NULL THEN 'N' ELSE 'V' || %1 END").arg(f);
        const QStringList rows = db.rows(QStringLiteral("SELECT rowid, ") + select.join(QStringLiteral(", ")) +
                                         QStringLiteral(" FROM DData ORDER BY rowid"));
        QList<Call> calls;
        for (const QString& row : rows) {
            const QStringList values = row.split(QLatin1Char('|'));
            Call call;
            call.id = values.at(0).toLongLong();
            for (int i = 0; i < fields.size(); ++i) {
                const QString v = values.at(1 + i);
                call.field.insert(fields.at(i), v.startsWith(QLatin1Char('N')) ? QString() : v.mid(1));
            }
            calls << call;
        }
        return calls;
    }

    // Nothing cut short, no formula code, and the period line under the title.
    static void checkFrame(const QStringList& pages, const QString& period)
    {
        QVERIFY(!pages.isEmpty());
        for (int p = 0; p < pages.size(); ++p) {
            QVERIFY2(!pages.at(p).contains(QChar(0x2026)), qPrintable(pages.at(p)));
            QVERIFY2(!pages.at(p).contains(QLatin1Char('{')), qPrintable(pages.at(p)));
            QVERIFY2(!pages.at(p).contains(QLatin1String("Selection")), qPrintable(pages.at(p)));
            QVERIFY2(pages.at(p).contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size())),
                     qPrintable(pages.at(p)));
        }
        if (!period.isEmpty()) {
            const QStringList lines = pages.first().split(QLatin1Char('\n'));
            const bool found =
                std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.trimmed() == period; });
            QVERIFY2(found, qPrintable(QStringLiteral("no line \"%1\" in:\n%2").arg(period, pages.first())));
        }
    }

private slots:
    void initTestCase()
    {
        if (!testing::canReadPdf())
            QSKIP("pdftotext (poppler-utils) is not installed");
        m_temp = std::make_unique<testing::TempDatabase>();
        testing::fillHostileLog([this](const QString& sql) { return m_temp->exec(sql); });
        testing::copyDefinitions(m_temp->folder());
        m_calls = readCalls(*m_temp);
        QCOMPARE(m_calls.size(), 122);
    }
    void cleanupTestCase() { m_temp.reset(); }

    void callLists_data()
    {
        QTest::addColumn<int>("index");
        const QList<ListCase> cases = listCases();
        for (int i = 0; i < cases.size(); ++i)
            QTest::newRow(qPrintable(cases.at(i).file)) << i;
    }
    void callLists()
    {
        QFETCH(int, index);
        const ListCase c = listCases().at(index);
        const ReportDefinition d = definition(m_temp->folder(), c.file);
        // The rows the report must show, in its order: its group, its sort fields, then as stored.
        QList<std::pair<QString, bool>> order;
        if (d.group)
            order << std::pair(d.group->field, false);
        QStringList sort = d.sort;
        if (!c.sort.isEmpty())
            sort = QStringList{c.sort};
        for (const QString& s : std::as_const(sort))
            order << sortKey(s);
        QList<Call> rows;
        for (const Call& call : std::as_const(m_calls)) {
            if (c.selects(call))
                rows << call;
        }
        std::stable_sort(rows.begin(), rows.end(), [&](const Call& a, const Call& b) {
            for (const auto& [field, descending] : order) {
                const int r = compareField(a, b, field);
                if (r != 0)
                    return descending ? r > 0 : r < 0;
            }
            return a.id < b.id;
        });
        QVERIFY(!rows.isEmpty());

        const QStringList pages = pdfOf(c.file, c.selection, c.sort);
        checkFrame(pages, c.period);
        if (QTest::currentTestFailed())
            return;
        checkRows(pages, d, rows);
        if (QTest::currentTestFailed())
            return;
        checkGroups(pages, d, rows);
    }

    // Days of 41 to 60 calls, the first of 52: somewhere a day's last calls
    // meet the foot of a page. Its footing goes over with at least one of its calls, and a
    // heading never stands alone at the foot of a page.
    void footingsStayWithTheirCalls()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        QStringList values;
        int k = 0;
        for (int d = 0; d < 21; ++d) {
            const QDate date = QDate(2026, 11, 1).addDays(d);
            for (int i = 0; i < (d == 0 ? 52 : 40 + d); ++i, ++k)
                values << QStringLiteral("('%1', '%2', '%3', %4, 'Deck not lowering', '2', 'Dave', ' ', NULL)")
                              .arg(date.toString(Qt::ISODate),
                                   QTime(0, 0).addSecs(k).toString(QStringLiteral("h:mm:ss")) + QStringLiteral(" AM"),
                                   QLocale::c().dayName(date.dayOfWeek()))
                              .arg(1 + k % 24);
        }
        QVERIFY(db.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, "
                                       "Name2, Notes) VALUES ") +
                        values.join(QLatin1Char(','))));
        QList<Call> rows = readCalls(db);
        std::stable_sort(rows.begin(), rows.end(), [](const Call& a, const Call& b) { return day(a) < day(b); });
        store::Error error;
        const auto report =
            Report::run(testing::requestFor(db, QStringLiteral("alldata.rpt"), testing::hostileNow()), &error);
        QVERIFY2(report, qPrintable(error.text()));
        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("days.pdf"));
        QVERIFY2(report->writePdf(pdf, &error), qPrintable(error.text()));
        const QStringList pages = testing::pdfPages(pdf);
        QVERIFY(pages.size() > 10);
        checkGroups(pages, definition(db.folder(), QStringLiteral("alldata.rpt")), rows);
    }

    void notes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("period");
        const QStringList am{QStringLiteral("mecha1"), QStringLiteral("noteam1"), QStringLiteral("mecha2"),
                             QStringLiteral("noteam2")};
        const QStringList pm{QStringLiteral("mechp1"), QStringLiteral("notepm1"), QStringLiteral("mechp2"),
                             QStringLiteral("notepm2")};
        QTest::newRow("amnotes") << "amnotes.rpt" << am << QString();
        QTest::newRow("pmnotes") << "pmnotes.rpt" << pm << QString();
        QTest::newRow("apnote") << "apnote.rpt" << am + pm << QString();
        QTest::newRow("1daynote") << "1daynote.rpt" << am + pm << "Tuesday 12/08/2026";
    }
    void notes()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, fields);
        QFETCH(QString, period);
        const QString where = period.isEmpty() ? QString() : QStringLiteral(" WHERE DateNow = '2026-12-08'");
        QStringList marked;
        for (const QString& f : std::as_const(fields))
            marked << QStringLiteral("coalesce(%1, '')").arg(f);
        const QStringList records =
            m_temp->rows(QStringLiteral("SELECT DateNow, ") + marked.join(QStringLiteral(", ")) +
                         QStringLiteral(" FROM DWork") + where + QStringLiteral(" ORDER BY DateNow"));
        QVERIFY(!records.isEmpty());
        const QStringList pages = pdfOf(file);
        checkFrame(pages, period);
        checkRecords(pages, records,
                     QStringLiteral("Total: %1 day%2")
                         .arg(records.size())
                         .arg(records.size() == 1 ? QString() : QStringLiteral("s")));
    }

    void workSheets_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("period");
        QTest::newRow("assign") << "assign.rpt" << QString();
        QTest::newRow("1assign") << "1assign.rpt"
                                 << "Tuesday 12/08/2026";
    }
    void workSheets()
    {
        QFETCH(QString, file);
        QFETCH(QString, period);
        QStringList fields;
        for (int i = 1; i <= 20; ++i)
            fields << QStringLiteral("coalesce(\"%1W\", '')").arg(i) << QStringLiteral("coalesce(\"%1M\", '')").arg(i);
        const QString where = period.isEmpty() ? QString() : QStringLiteral(" WHERE DateNow = '2026-12-08'");
        const QStringList records =
            m_temp->rows(QStringLiteral("SELECT DateNow, ") + fields.join(QStringLiteral(", ")) +
                         QStringLiteral(" FROM WAssign") + where + QStringLiteral(" ORDER BY DateNow"));
        const QStringList pages = pdfOf(file);
        checkFrame(pages, period);
        checkRecords(pages, records, {});
    }

    void presetCalls()
    {
        QStringList fields;
        for (int s = 0; s < 5; ++s) {
            fields << QStringLiteral("S%1").arg(s + 1);
            for (int i = 1; i <= 20; ++i)
                fields << QStringLiteral("C%1").arg(s * 20 + i);
        }
        const QStringList values = m_temp
                                       ->rows(QStringLiteral("SELECT ") + fields.join(QStringLiteral(" || '|' || ")) +
                                              QStringLiteral(" FROM Calls"))
                                       .value(0)
                                       .split(QLatin1Char('|'));
        QCOMPARE(values.size(), 105);
        const QStringList pages = pdfOf(QStringLiteral("100calls.rpt"));
        checkFrame(pages, {});
        const QStringList stream = testing::wordsOf(pages.join(QLatin1Char('\n')));
        qsizetype at = 0;
        for (int i = 0; i < values.size(); ++i) {
            QStringList words = testing::wordsOf(values.at(i));
            if (i % 21 != 0) // a call stands after its number
                words.prepend(QStringLiteral("%1.").arg(i / 21 * 20 + i % 21));
            at = testing::findInOrder(stream, words, at, stream.size());
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("\"%1\" is not printed in full").arg(values.at(i))));
        }
    }

    void graphs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("field");
        QTest::newRow("bgraph") << "bgraph.rpt"
                                << "LaneNo";
        QTest::newRow("pgraph") << "pgraph.rpt"
                                << "callmade";
        QTest::newRow("gmech1") << "gmech1.rpt"
                                << "Name1";
        QTest::newRow("gmech2") << "gmech2.rpt"
                                << "Name2";
    }
    void graphs()
    {
        QFETCH(QString, file);
        QFETCH(QString, field);
        // The calls counted, per value; the mechanics' graphs count the calls with a name ticked.
        QMap<QString, int> counts;
        QMap<QString, QSet<QString>> spellings; // "ölwanne" and "Ölwanne" are one call, printed either way
        QString first, last;
        for (const Call& call : std::as_const(m_calls)) {
            const QString value = call.field.value(field);
            if (field.startsWith(QLatin1String("Name")) && value.trimmed().isEmpty())
                continue;
            const QString key =
                field == QLatin1String("LaneNo") ? value.rightJustified(4, QLatin1Char('0')) : value.toCaseFolded();
            ++counts[key];
            spellings[key].insert(value);
            if (first.isEmpty() || day(call) < first)
                first = day(call);
            if (last.isEmpty() || day(call) > last)
                last = day(call);
        }
        const QString period = QStringLiteral("Calls from %1 to %2")
                                   .arg(shown(first, Format::Date, true), shown(last, Format::Date, true));
        const QStringList pages = pdfOf(file);
        checkFrame(pages, period);
        const QStringList stream = testing::wordsOf(pages.join(QLatin1Char('\n')));
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            const QSet<QString> labels = spellings.value(it.key());
            const bool found = std::any_of(labels.begin(), labels.end(), [&](const QString& label) {
                return testing::findInOrder(stream, testing::wordsOf(label) << QString::number(it.value()), 0,
                                            stream.size()) >= 0;
            });
            QVERIFY2(
                found,
                qPrintable(QStringLiteral("\"%1\" counted %2 is not printed").arg(*labels.begin()).arg(it.value())));
        }
    }

private:
    // Every selected call once, in order, each value whole; no other call.
    void checkRows(const QStringList& pages, const ReportDefinition& d, const QList<Call>& rows)
    {
        const QStringList stream = testing::wordsOf(pages.join(QLatin1Char('\n')));
        QSet<qint64> selected;
        for (const Call& call : rows)
            selected.insert(call.id);
        for (const Call& call : std::as_const(m_calls)) {
            const QString time = testing::wordsOf(call.field.value(QStringLiteral("Time"))).value(0);
            QVERIFY2(
                testing::countWord(stream, time) == (selected.contains(call.id) ? 1 : 0),
                qPrintable(
                    QStringLiteral("the call at %1 stands %2 times").arg(time).arg(testing::countWord(stream, time))));
        }
        QList<qsizetype> anchors;
        for (const Call& call : rows)
            anchors << stream.indexOf(testing::wordsOf(call.field.value(QStringLiteral("Time"))).value(0));
        for (int r = 0; r < rows.size(); ++r) {
            QVERIFY2(r == 0 || anchors.at(r) > anchors.at(r - 1),
                     qPrintable(QStringLiteral("the call at %1 is out of order")
                                    .arg(rows.at(r).field.value(QStringLiteral("Time")))));
            const qsizetype before = r == 0 ? 0 : anchors.at(r - 1) + 1;
            const qsizetype after = r + 1 < rows.size() ? anchors.at(r + 1) : stream.size();
            bool pastTime = false;
            for (const reports::Column& column : d.columns) {
                pastTime = pastTime || column.field == QLatin1String("Time");
                const QString value = shown(rows.at(r).field.value(column.field), column.format,
                                            column.field == QLatin1String("DateNow"));
                const QStringList words = testing::wordsOf(value);
                if (words.isEmpty())
                    continue;
                const qsizetype from = pastTime ? anchors.at(r) : before;
                const qsizetype to = pastTime ? after : anchors.at(r) + 1;
                QVERIFY2(testing::findInOrder(stream, words, from, to) >= 0,
                         qPrintable(QStringLiteral("%1 of the call at %2 is not printed in full: \"%3\"")
                                        .arg(column.field, rows.at(r).field.value(QStringLiteral("Time")), value)));
            }
        }
    }

    // The groups' headings and footings, and pages that neither begin with a
    // footing nor end with a heading.
    void checkGroups(const QStringList& pages, const ReportDefinition& d, const QList<Call>& rows)
    {
        QStringList labels;
        QList<int> sizes;
        for (int r = 0; r < rows.size(); ++r) {
            if (!d.group) {
                continue;
            }
            QString value = shown(rows.at(r).field.value(d.group->field), d.group->format,
                                  d.group->field == QLatin1String("DateNow"));
            if (value.isEmpty())
                value = d.group->emptyLabel;
            const QString label = d.group->heading + value;
            if (r > 0 && compareField(rows.at(r), rows.at(r - 1), d.group->field) == 0) {
                ++sizes.last();
                continue;
            }
            labels << label;
            sizes << 1;
        }
        QList<int> footers;
        for (int p = 0; p < pages.size(); ++p) {
            const QStringList lines = pages.at(p).split(QLatin1Char('\n'));
            qsizetype top = 0;
            while (top < lines.size() && !lines.at(top).contains(d.columns.last().heading))
                ++top;
            QStringList body;
            for (qsizetype i = top + 1; i < lines.size(); ++i) {
                if (lines.at(i).contains(QStringLiteral("Page %1 of").arg(p + 1)))
                    break;
                if (!lines.at(i).trimmed().isEmpty())
                    body << lines.at(i).trimmed();
            }
            QVERIFY2(!body.isEmpty(), qPrintable(pages.at(p)));
            // The first line after a heading repeated from the page before ("... (continued)").
            const QString first = body.first().endsWith(QLatin1String("(continued)")) ? body.value(1) : body.first();
            QVERIFY2(!footerLine().match(first).hasMatch() && !first.startsWith(QLatin1String("Total")),
                     qPrintable(QStringLiteral("page %1 begins with \"%2\"").arg(p + 1).arg(first)));
            QVERIFY2(!labels.contains(body.last()),
                     qPrintable(QStringLiteral("page %1 ends with the heading \"%2\"").arg(p + 1).arg(body.last())));
            for (const QString& line : std::as_const(body)) {
                if (footerLine().match(line).hasMatch())
                    footers << line.split(QLatin1Char(' ')).first().toInt();
            }
        }
        QCOMPARE(footers, sizes);
        const QStringList all = pages.join(QLatin1Char('\n')).split(QLatin1Char('\n'));
        for (const QString& label : std::as_const(labels)) {
            const bool found =
                std::any_of(all.begin(), all.end(), [&](const QString& line) { return line.trimmed() == label; });
            QVERIFY2(found, qPrintable(QStringLiteral("no heading \"%1\"").arg(label)));
        }
        QVERIFY(pages.last().contains(QStringLiteral("Total: %1 calls").arg(rows.size())));
    }

    // Records of notes or work sheets: each under its date, every text whole.
    void checkRecords(const QStringList& pages, const QStringList& records, const QString& total)
    {
        const QStringList stream = testing::wordsOf(pages.join(QLatin1Char('\n')));
        QList<qsizetype> anchors;
        for (const QString& record : records) {
            const QString date = shown(record.split(QLatin1Char('|')).first(), Format::Date, true);
            qsizetype at = -1;
            for (qsizetype i = anchors.isEmpty() ? 0 : anchors.last() + 1; i < stream.size() && at < 0; ++i) {
                if (stream.at(i) == date && (i == 0 || stream.at(i - 1) != QLatin1String("Printed")))
                    at = i;
            }
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("no heading for %1").arg(date)));
            anchors << at;
        }
        for (int r = 0; r < records.size(); ++r) {
            const QStringList values = records.at(r).split(QLatin1Char('|')).mid(1);
            const qsizetype to = r + 1 < records.size() ? anchors.at(r + 1) : stream.size();
            qsizetype at = anchors.at(r);
            for (const QString& value : values) {
                const QStringList words = testing::wordsOf(value);
                if (words.isEmpty())
                    continue;
                const qsizetype found = testing::findInOrder(stream, words, at, to);
                QVERIFY2(found >= 0, qPrintable(QStringLiteral("\"%1\" is not printed in full").arg(value)));
                at = found;
            }
        }
        if (!total.isEmpty())
            QVERIFY2(pages.last().contains(total), qPrintable(pages.last()));
    }
};

QTEST_MAIN(TestDrawn)
#include "test_drawn.moc"
