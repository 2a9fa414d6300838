// Figures for the reports, each as a ratio against a baseline measured in the
// same run (the machines are noisy); every measured run is a fresh process,
// so memory is its own:
//  - "Sorted by Date" over 100,000 calls to a PDF file, against the standard
//    text-to-PDF chain on the same rows (sqlite3 -column, enscript, ps2pdf),
//    with the memory the PDF run grew by;
//  - the preview of "Sorted by Date" first shown, over 1,000,000 calls against
//    1,000 calls, with the memory the 1,000,000-call preview grew by; then,
//    for information, the time until every page of it is counted (its rows
//    read on in a thread of their own) against sqlite3 reading the same rows;
//  - a graph (calls per lane) over 1,000,000 calls drawn, against the sqlite3
//    command line running the same GROUP BY on the same file.
//
//   bench_reports [big-rows] [pdf-rows]      (defaults 1,000,000 and 100,000)
//   bench_reports --pictures <folder>        pictures of a preview, a PDF page and the graphs
//   bench_reports --make <folder> <rows>     a database of calls and the definitions
//   bench_reports --pdf|--preview|--graph <folder>   one measured run
#include "AllScreens.h"
#include "BenchCommon.h"
#include "reports/CrystalReport.h"
#include "reports/PreviewWindow.h"
#include "reports/engine/Report.h"
#include "store/Database.h"
#include "support/CallLogGenerator.h"
#include "ui/ScreenRegistry.h"
#include "ui/ScriptedPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

using bench::median;
using bench::quietOffscreen;

QTextStream out(stdout);

void report(const char* what, double measured, double baseline, double limit)
{
    bench::report(out, QString::fromUtf8(what), measured, baseline, limit, 62, 1);
}

// Resident memory of this process in kB, now and at its peak.
qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

QString definitionsFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../app"));
}

bool makeFolder(const QString& folder, qint64 rows, const QDate& firstDay = QDate(2004, 1, 5))
{
    QString error;
    const QString db = QDir(folder).filePath(QStringLiteral("Zuvevadu.mdb"));
    if (!QFile::exists(db)) {
        store::Error made;
        if (!store::createDatabase(db, &made)) {
            out << "cannot make the database: " << made.text() << '\n';
            return false;
        }
        testing::CallLogGenerator generator;
        generator.firstDay = firstDay.toString(Qt::ISODate);
        if (!generator.fill(db, rows, &error)) {
            out << "cannot fill the database: " << error << '\n';
            return false;
        }
    }
    const QDir source(definitionsFolder());
    for (const QString& name : source.entryList({QStringLiteral("*.rpt")}, QDir::Files)) {
        QFile::remove(QDir(folder).filePath(name));
        QFile::copy(source.filePath(name), QDir(folder).filePath(name));
    }
    return true;
}

reports::ReportRequest requestIn(const QString& folder, const QString& file)
{
    reports::ReportRequest request;
    request.folder = folder;
    request.databasePath = QDir(folder).filePath(QStringLiteral("Zuvevadu.mdb"));
    request.fileName = file;
    request.printedAt = QDateTime(QDate(2004, 12, 7), QTime(10, 15));
    return request;
}

// ---- Child runs: each prints "<ms> <kB grown>" ---------------------------------------------

int pdfChild(const QString& folder)
{
    const qint64 before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    store::Error error;
    auto report = reports::Report::run(requestIn(folder, QStringLiteral("alldata.rpt")), &error);
    if (!report || !report->writePdf(QDir(folder).filePath(QStringLiteral("ours.pdf")), &error)) {
        QTextStream(stderr) << error.text() << '\n';
        return 1;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    QTextStream(stdout) << ms << ' ' << (statusKb("VmHWM:") - before) << '\n';
    return 0;
}

int previewChild(const QString& folder)
{
    auto& platform = ui::Platform::instance();
    platform.setAppFolder(folder);
    platform.setMessageBox(std::make_unique<ui::ScriptedMessageBox>());
    platform.setClock(std::make_unique<ui::FixedClock>(QDateTime(QDate(2004, 12, 7), QTime(10, 15))));
    registerAllScreens(); // the program's own preview window
    const qint64 before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    QObject owner;
    reports::CrystalReport control(&owner);
    control.setReportFileName(QStringLiteral("alldata.rpt"));
    control.setAction(1); // returns with the first page on show
    const double ms = timer.nsecsElapsed() / 1e6;
    reports::PreviewWindow* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<reports::PreviewWindow*>(top); preview && preview->isVisible())
            window = preview;
    }
    if (!window || window->pageImage().isNull())
        return 1;
    // Every page counted: the rows read on while the first page is looked at.
    while (!window->document().isComplete())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const double complete = timer.nsecsElapsed() / 1e6;
    QTextStream(stdout) << ms << ' ' << (statusKb("VmHWM:") - before) << ' ' << window->document().pageCount() << ' '
                        << complete << '\n';
    delete window;
    return 0;
}

int graphChild(const QString& folder)
{
    registerAllScreens(); // the program's graphs, drawn with Qt Charts
    QElapsedTimer timer;
    timer.start();
    store::Error error;
    auto report = reports::Report::run(requestIn(folder, QStringLiteral("bgraph.rpt")), &error);
    if (!report)
        return 1;
    QImage page(QSize(850, 1100), QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(3937); // 100 dots per inch
    page.setDotsPerMeterY(3937);
    {
        QPainter painter(&page);
        report->paintPage(painter, 0);
    }
    QTextStream(stdout) << timer.nsecsElapsed() / 1e6 << " 0\n";
    return 0;
}

struct Run {
    double ms = 0;
    double grownKb = 0;
    int pages = 0;
    double complete = 0;
};

Run runChild(const QString& mode, const QString& folder)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {mode, folder});
    child.waitForFinished(600000);
    const QStringList parts = QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (child.exitCode() != 0 || parts.size() < 2) {
        out << "child " << mode << " failed: " << child.readAllStandardError() << '\n';
        return {};
    }
    return Run{parts.at(0).toDouble(), parts.at(1).toDouble(), parts.value(2).toInt(), parts.value(3).toDouble()};
}

double shell(const QString& command)
{
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return timer.nsecsElapsed() / 1e6;
}

// ---- Pictures ------------------------------------------------------------------------------

int pictures(const QString& target)
{
    QDir().mkpath(target);
    QTemporaryDir folder;
    // Calls up to the clock's day, so that the day's and the week's reports have rows.
    if (!makeFolder(folder.path(), 2400, QDate(2004, 12, 7).addDays(-59)))
        return 1;
    auto& platform = ui::Platform::instance();
    platform.setAppFolder(folder.path());
    platform.setClock(std::make_unique<ui::FixedClock>(QDateTime(QDate(2004, 12, 7), QTime(10, 15))));
    registerAllScreens();
    QObject owner;
    reports::CrystalReport control(&owner);
    for (const char* file :
         {"alldata.rpt", "bgraph.rpt", "pgraph.rpt", "gmech1.rpt", "gmech2.rpt", "weekly.rpt", "100calls.rpt"}) {
        control.setReportFileName(QString::fromLatin1(file));
        control.setAction(1);
        QCoreApplication::processEvents();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<reports::PreviewWindow*>(top); preview && preview->isVisible()) {
                preview->resize(900, 1000);
                QCoreApplication::processEvents();
                preview->grab().save(QDir(target).filePath(QFileInfo(QString::fromLatin1(file)).baseName() +
                                                           QStringLiteral("-preview.png")));
                preview->close();
            }
        }
        QCoreApplication::processEvents();
    }
    store::Error error;
    auto report = reports::Report::run(requestIn(folder.path(), QStringLiteral("alldata.rpt")), &error);
    if (report)
        report->writePdf(QDir(target).filePath(QStringLiteral("alldata.pdf")), &error);
    auto graph = reports::Report::run(requestIn(folder.path(), QStringLiteral("pgraph.rpt")), &error);
    if (graph)
        graph->writePdf(QDir(target).filePath(QStringLiteral("pgraph.pdf")), &error);
    out << "pictures in " << target << '\n';
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietOffscreen);
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 && args.at(1) == QLatin1String("--pdf"))
        return pdfChild(args.at(2));
    if (args.size() > 2 && args.at(1) == QLatin1String("--preview"))
        return previewChild(args.at(2));
    if (args.size() > 2 && args.at(1) == QLatin1String("--graph"))
        return graphChild(args.at(2));
    if (args.size() > 2 && args.at(1) == QLatin1String("--pictures"))
        return pictures(args.at(2));
    if (args.size() > 3 && args.at(1) == QLatin1String("--make")) // a folder to look into by hand
        return makeFolder(args.at(2), args.at(3).toLongLong()) ? 0 : 1;

    const qint64 bigRows = args.size() > 1 ? args.at(1).toLongLong() : 1000000;
    const qint64 pdfRows = args.size() > 2 ? args.at(2).toLongLong() : 100000;
    QTemporaryDir small, medium, big;
    QElapsedTimer timer;
    timer.start();
    if (!makeFolder(small.path(), 1000) || !makeFolder(medium.path(), pdfRows) || !makeFolder(big.path(), bigRows))
        return 1;
    out << "databases made in " << timer.elapsed() / 1000 << " s\n";
    // 1. PDF against sqlite3 | enscript | ps2pdf on the same rows in the same order.
    const QString mediumDb = QDir(medium.path()).filePath(QStringLiteral("Zuvevadu.mdb"));
    QList<double> ours, chain;
    double grown = 0;
    for (int round = 0; round < 3; ++round) {
        const Run run = runChild(QStringLiteral("--pdf"), medium.path());
        ours << run.ms;
        grown = std::max(grown, run.grownKb);
        chain << shell(
            QStringLiteral("sqlite3 -column '%1' \"SELECT DateNow, Time, Weekday, LaneNo, callmade, Name1, "
                           "Name2, Notes FROM DData ORDER BY DateNow, rowid\" > '%2/rows.txt' && enscript -q "
                           "-p '%2/rows.ps' '%2/rows.txt' && ps2pdf '%2/rows.ps' '%2/rows.pdf'")
                .arg(mediumDb, medium.path()));
    }
    report(qPrintable(QStringLiteral("\"Sorted by Date\", %1 calls, to PDF vs text-to-PDF chain").arg(pdfRows)),
           median(ours), median(chain), 1.0);
    out << QString::asprintf("    memory grown by the PDF run: %.1f MiB (peak)\n", grown / 1024);

    // 2. Preview: first page shown, big against 1,000 calls.
    const QString bigDb = QDir(big.path()).filePath(QStringLiteral("Zuvevadu.mdb"));
    QList<double> bigFirst, smallFirst, bigComplete, reading;
    double bigGrown = 0;
    int bigPages = 0;
    for (int round = 0; round < 5; ++round) {
        const Run b = runChild(QStringLiteral("--preview"), big.path());
        bigFirst << b.ms;
        bigComplete << b.complete;
        bigGrown = std::max(bigGrown, b.grownKb);
        bigPages = b.pages;
        smallFirst << runChild(QStringLiteral("--preview"), small.path()).ms;
        reading << shell(QStringLiteral("sqlite3 '%1' \"SELECT rowid, Time, LaneNo, callmade, Name1, Name2, Notes, "
                                        "DateNow FROM DData ORDER BY DateNow, rowid\" > /dev/null")
                             .arg(bigDb));
    }
    report(qPrintable(QStringLiteral("preview first page, %1 calls vs 1,000 calls").arg(bigRows)), median(bigFirst),
           median(smallFirst), 2.0);
    out << QString::asprintf("    memory grown by the %lld-call preview: %.1f MiB (limit 200 MiB), %d pages\n", bigRows,
                             bigGrown / 1024, bigPages);
    report(qPrintable(QStringLiteral("  every page counted, %1 calls vs sqlite3 reading them").arg(bigRows)),
           median(bigComplete), median(reading), 0);

    // 3. A graph against the same GROUP BY in the sqlite3 command line.
    const QString groupBy = QStringLiteral("SELECT \"LaneNo\", count(*), count(*), min(\"DateNow\"), "
                                           "max(\"DateNow\") FROM \"DData\" GROUP BY \"LaneNo\" ORDER BY \"LaneNo\"");
    out << "    the GROUP BY: " << groupBy << '\n';
    QList<double> graph, sqlite;
    for (int round = 0; round < 3; ++round) {
        graph << runChild(QStringLiteral("--graph"), big.path()).ms;
        QString statement = groupBy;
        sqlite << shell(QStringLiteral("sqlite3 '%1' '%2' > /dev/null").arg(bigDb, statement));
    }
    report(qPrintable(QStringLiteral("graph of calls per lane, %1 calls vs sqlite3 GROUP BY").arg(bigRows)),
           median(graph), median(sqlite), 1.5);
    return 0;
}
