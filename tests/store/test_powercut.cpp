// Power cuts while a mechanic logs calls, saves notes and frame counts and
// deletes a filtered set through the screens. The engine's file operations are
// recorded; the folder is then built as a power cut at every sync, and at
// seeded points between, would leave it, and opened again by the store, as
// the program does after the power comes back. Every save a screen reported
// must be there, no file damaged, the database never gone, and a row not yet
// reported there whole or not at all.
//
// Run under one locale only: each trial compares the rows after a cut with the
// rows the same run stored, and nothing in a crash state depends on the locale.
#include "support/CrashVfs.h"
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "app/TodaysInfo.h"
#include "calls/EnterLaneNo.h"
#include "calls/ListOfCalls.h"
#include "filter/FindDriver.h"
#include "shift/FrameCount.h"
#include "shift/Notes.h"
#include "store/Database.h"
#include "ui/MaskedDateEdit.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <random>

using testing::CrashVfs;

namespace {

const QString kDatabase = QStringLiteral("Zuvevadu.mdb");
constexpr int kRandomCuts = 60;

/// What a screen reported done: rows now there, or rows now gone.
struct Step {
    int position = 0; // in the record, when the screen reported it
    QStringList present;
    QStringList absent;
};

/// A trial: the rows as the run stored them, by key, and the steps reported.
struct Trial {
    QString what;
    QString rowsSql; // the key, then the whole row as one text
    QHash<QString, QString> stored;
    std::vector<Step> steps;
    QStringList untouched; // rows no step may take away
};

struct Figures {
    int cuts = 0;
    int states = 0;
    int withoutDatabase = 0;
    int unopened = 0;
    int damaged = 0;
    int half = 0;
    int losing = 0; // states that lost a reported step
    QSet<int> lostSteps;
    QStringList problems;
    void note(const QString& problem)
    {
        if (problems.size() < 5)
            problems << problem;
    }
};

QHash<QString, QString> readRows(QSqlQuery& q, const QString& sql)
{
    QHash<QString, QString> rows;
    if (!q.exec(sql))
        return rows;
    while (q.next())
        rows.insert(q.value(0).toString(), q.value(1).toString());
    return rows;
}

/// The rows of the folder after the power comes back, opened by the store; false when it would not open.
bool reboot(const QString& folder, const Trial& trial, QHash<QString, QString>* rows, Figures& figures, int position)
{
    store::Error error;
    const auto db = store::Database::open(QDir(folder).filePath(kDatabase), &error);
    if (!db) {
        ++figures.unopened;
        figures.note(QStringLiteral("cut at %1: the store would not open: %2").arg(position).arg(error.text()));
        return false;
    }
    QSqlQuery q(db->sql());
    QStringList check;
    if (q.exec(QStringLiteral("PRAGMA integrity_check")))
        while (q.next())
            check << q.value(0).toString();
    if (check != QStringList{QStringLiteral("ok")}) {
        ++figures.damaged;
        figures.note(QStringLiteral("cut at %1: damaged: %2").arg(position).arg(check.join(QLatin1Char(' '))));
    }
    *rows = readRows(q, trial.rowsSql);
    return true;
}

/// A set of rows is there as a whole, or not at all.
int countPresent(const QStringList& keys, const QHash<QString, QString>& rows)
{
    return int(std::count_if(keys.begin(), keys.end(), [&](const QString& key) { return rows.contains(key); }));
}

void judge(const Trial& trial, int position, const QHash<QString, QString>& rows, Figures& figures)
{
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        if (trial.stored.value(it.key()) != it.value()) {
            ++figures.half;
            figures.note(QStringLiteral("cut at %1: row %2 reads %3").arg(position).arg(it.key(), it.value()));
        }
    bool lost = countPresent(trial.untouched, rows) != trial.untouched.size();
    for (size_t i = 0; i < trial.steps.size(); ++i) {
        const Step& step = trial.steps[i];
        const int present = countPresent(step.present, rows);
        const int absent = countPresent(step.absent, rows);
        if ((present != 0 && present != step.present.size()) || (absent != 0 && absent != step.absent.size())) {
            ++figures.half;
            figures.note(QStringLiteral("cut at %1: step %2 done in part").arg(position).arg(i + 1));
        }
        if (step.position <= position && (present != step.present.size() || absent != 0)) {
            lost = true;
            figures.lostSteps.insert(int(i));
        }
    }
    if (lost) {
        ++figures.losing;
        figures.note(QStringLiteral("cut at %1: a reported step is undone").arg(position));
    }
}

void checkState(const Trial& trial, int position, unsigned seed, bool reorder, bool garble, Figures& figures)
{
    const QMap<QString, QByteArray> files = CrashVfs::install().crashState(
        position, seed, reorder ? CrashVfs::FolderCut::InOrder : CrashVfs::FolderCut::Undone, garble);
    ++figures.states;
    if (!files.contains(kDatabase)) {
        ++figures.withoutDatabase;
        figures.note(QStringLiteral("cut at %1: the folder has no database").arg(position));
        return;
    }
    QTemporaryDir folder;
    QHash<QString, QString> rows;
    if (!CrashVfs::write(files, folder.path()) || !reboot(folder.path(), trial, &rows, figures, position))
        return;
    judge(trial, position, rows, figures);
}

/// Cuts the power at every sync (as it starts and once it is done), at the
/// end, and at seeded points between; each cut tears what was not synced
/// its own way.
Figures cutEverywhere(const Trial& trial, unsigned seed, bool garble = false)
{
    CrashVfs& vfs = CrashVfs::install();
    vfs.stop();
    std::vector<std::pair<int, bool>> cuts; // position, keep some unsynced folder changes
    for (const int sync : vfs.syncPositions()) {
        cuts.emplace_back(sync, false);
        cuts.emplace_back(sync + 1, false);
    }
    cuts.emplace_back(vfs.position(), false);
    std::mt19937 random(seed);
    for (int i = 0; i < kRandomCuts; ++i)
        cuts.emplace_back(int(random() % unsigned(vfs.position() + 1)), true);
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    for (size_t i = 0; i < cuts.size(); ++i)
        checkState(trial, cuts[i].first, seed + unsigned(i), cuts[i].second, garble, figures);
    figures.cuts = int(cuts.size());
    qInfo("%s: %d reported, %d operations, %d syncs; %d cuts, %d states checked in %.1f s: %d lost a reported save "
          "(%d of the %d saves lost at least once), %d damaged, %d would not open, %d without the database, %d "
          "with a row in part",
          qPrintable(trial.what), int(trial.steps.size()), vfs.position(), int(vfs.syncPositions().size()),
          figures.cuts, figures.states, double(clock.elapsed()) / 1000.0, figures.losing, int(figures.lostSteps.size()),
          int(trial.steps.size()), figures.damaged, figures.unopened, figures.withoutDatabase, figures.half);
    for (const QString& problem : figures.problems)
        qInfo("  %s", qPrintable(problem));
    return figures;
}

void verify(const Figures& figures)
{
    QVERIFY(figures.states > 0);
    QCOMPARE(figures.losing, 0);
    QCOMPARE(figures.damaged, 0);
    QCOMPARE(figures.unopened, 0);
    QCOMPARE(figures.withoutDatabase, 0);
    QCOMPARE(figures.half, 0);
}

QHash<QString, QString> storedRows(testing::TestApp& app, const QString& sql)
{
    QHash<QString, QString> rows;
    for (const QString& line : app.rows(sql)) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        rows.insert(line.left(bar), line.mid(bar + 1));
    }
    return rows;
}

/// Notes long enough to take more than one page of the file.
QString longNote(int n)
{
    QString note;
    for (int line = 0; line < 120; ++line)
        note += QStringLiteral("Note %1, line %2: reset the turret, checked the deck chain.\n").arg(n).arg(line);
    return note;
}

QString day(int d)
{
    return QStringLiteral("2004-12-%1").arg(d, 2, 10, QLatin1Char('0'));
}

QString typedDay(int d)
{
    return QStringLiteral("12") + QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0')) + QStringLiteral("2004");
}

calls::ListOfCalls* openBoard()
{
    auto& screens = ui::ScreenRegistry::instance();
    auto* menu = static_cast<app::MainMenu*>(screens.show(QStringLiteral("MainMenu")));
    menu->Command8_Click();
    auto* shift = static_cast<app::TodaysInfo*>(screens.find(QStringLiteral("TodaysInfo")));
    shift->Text1->setText(QStringLiteral("Dave"));
    shift->Text2->setText(QStringLiteral("Marco"));
    shift->Command1_Click();
    menu->Command1_Click();
    auto* board = qobject_cast<calls::ListOfCalls*>(screens.find(QStringLiteral("ListOfCalls")));
    return board && QTest::qWaitForWindowExposed(board) ? board : nullptr;
}

const QString kCallRows = QStringLiteral(
    "SELECT Recno, quote(DateNow) || '|' || quote(Time) || '|' || quote(Weekday) || '|' || quote(LaneNo) || '|' || "
    "quote(callmade) || '|' || quote(Type) || '|' || quote(Name1) || '|' || quote(Name2) || '|' || quote(Notes) "
    "FROM DData");

/// Logs `count` calls through the board and the lane entry, some with long notes.
Trial logCalls(testing::TestApp& app, int count)
{
    CrashVfs& vfs = CrashVfs::install();
    vfs.record(app.folder());
    Trial trial{QStringLiteral("logging calls"), kCallRows, {}, {}, {}};
    calls::ListOfCalls* board = openBoard();
    if (!board) {
        QTest::qFail("the board did not open", __FILE__, __LINE__);
        return trial;
    }
    for (int i = 0; i < count; ++i) {
        QTest::mouseClick(board->Label[1 + (i * 7) % 100 + 5], Qt::LeftButton);
        auto* entry =
            qobject_cast<calls::EnterLaneNo*>(ui::ScreenRegistry::instance().find(QStringLiteral("EnterLaneNo")));
        if (!entry || !entry->isVisible()) {
            QTest::qFail("the lane entry did not open", __FILE__, __LINE__);
            return trial;
        }
        QTest::keyClicks(entry->Text5, QString::number(1 + i % 24));
        entry->Check2->setChecked(i % 3 == 1);
        if (i % 5 == 4) {
            entry->Command3->click();
            entry->Text9->setPlainText(longNote(i));
        }
        entry->Command1->click();
        const int reported = vfs.position();
        if (!app.messages().seen.isEmpty())
            QTest::qFail(qPrintable(app.messages().texts().join(QLatin1Char('/'))), __FILE__, __LINE__);
        testing::TestApp::settle();
        const QString key = app.scalar(QStringLiteral("SELECT max(Recno) FROM DData")).toString();
        trial.steps.push_back({reported, {key}, {}});
    }
    trial.stored = storedRows(app, kCallRows);
    if (trial.stored.size() != count)
        QTest::qFail("not every call was stored", __FILE__, __LINE__);
    return trial;
}

} // namespace

class TestPowerCut : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CrashVfs::install(); }
    void cleanup() { CrashVfs::install().stop(); }

    void loggedCallsSurvive()
    {
        testing::TestApp app;
        Trial trial = logCalls(app, 20);
        verify(cutEverywhere(trial, 20041207));
    }

    // A sector being written may also be left garbage, as SQLite's own crash
    // tests try: the journal mends the file.
    void garbledSectorsAreMended()
    {
        testing::TestApp app;
        Trial trial = logCalls(app, 10);
        verify(cutEverywhere(trial, 20041211, true));
    }

    void savedNotesSurvive()
    {
        testing::TestApp app;
        CrashVfs& vfs = CrashVfs::install();
        vfs.record(app.folder());
        auto* notes = qobject_cast<shift::Notes*>(ui::ScreenRegistry::instance().show(QStringLiteral("Notes")));
        QVERIFY(notes);
        const QString rowsSql = QStringLiteral(
            "SELECT DateNow, quote(mecha1) || '|' || quote(mecha2) || '|' || quote(mechp1) || '|' || quote(mechp2) || "
            "'|' || quote(noteam1) || '|' || quote(noteam2) || '|' || quote(notepm1) || '|' || quote(notepm2) "
            "FROM DWork");
        Trial trial{QStringLiteral("saving notes"), rowsSql, {}, {}, {}};
        for (int d = 1; d <= 10; ++d) {
            notes->Command2->click();
            QTest::keyClicks(notes->MaskEdBox1, typedDay(d));
            notes->Text3->setText(QStringLiteral("Dave"));
            notes->Text1->setPlainText(d % 3 == 0 ? longNote(d) : QStringLiteral("Lane %1 pin wheel").arg(d));
            notes->Option3->click();
            notes->Text5->setText(QStringLiteral("Luis"));
            notes->Text8->setPlainText(QStringLiteral("Cleaned the pit of lane %1").arg(d));
            notes->Command3->click();
            const int reported = vfs.position();
            QVERIFY2(app.messages().seen.isEmpty(), qPrintable(app.messages().texts().join(QLatin1Char('/'))));
            QVERIFY(!notes->Command3->isVisible());
            trial.steps.push_back({reported, {day(d)}, {}});
        }
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DWork")).toInt(), 10);
        trial.stored = storedRows(app, rowsSql);
        verify(cutEverywhere(trial, 20041208));
    }

    void frameCountsSurvive()
    {
        testing::TestApp app;
        CrashVfs& vfs = CrashVfs::install();
        vfs.record(app.folder());
        auto* counts =
            qobject_cast<shift::FrameCount*>(ui::ScreenRegistry::instance().show(QStringLiteral("FrameCount")));
        QVERIFY(counts);
        counts->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(counts));
        const QString rowsSql = QStringLiteral(
            "SELECT DateNow, quote(Open) || '|' || quote(League) || '|' || quote(Rent) || '|' || quote(Misc) || '|' || "
            "quote(total) FROM Frames");
        Trial trial{QStringLiteral("frame counts"), rowsSql, {}, {}, {}};
        for (int d = 1; d <= 10; ++d) {
            counts->Command2->click();
            QTest::keyClicks(counts->MaskEdBox1, typedDay(d));
            const QList<QLineEdit*> boxes{counts->Text1, counts->Text2, counts->Text3, counts->Text4};
            for (int i = 0; i < 4; ++i) {
                boxes[i]->setFocus();
                boxes[i]->selectAll();
                QTest::keyClicks(boxes[i], QString::number(d * 100 + i * 10));
            }
            counts->Command3->click();
            const int reported = vfs.position();
            QVERIFY2(app.messages().seen.isEmpty(), qPrintable(app.messages().texts().join(QLatin1Char('/'))));
            QCOMPARE(counts->Text6->text(), QString::number(d * 400 + 60));
            trial.steps.push_back({reported, {day(d)}, {}});
        }
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM Frames")).toInt(), 10);
        trial.stored = storedRows(app, rowsSql);
        verify(cutEverywhere(trial, 20041209));
    }

    // Three filtered deletes, lane by lane; the fourth lane's calls stay.
    void aFilteredDeleteSurvives()
    {
        testing::TestApp app;
        for (int i = 0; i < 16; ++i)
            QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, "
                                            "Name2, Notes) VALUES ('2004-12-%1', '10:00:00 AM', 'Monday', %2, "
                                            "'Ball jam', '1', 'Dave', ' ', '%3')")
                                 .arg(1 + i, 2, 10, QLatin1Char('0'))
                                 .arg(1 + i % 4)
                                 .arg(i % 4 == 0 ? longNote(i) : QString())));
        Trial trial{QStringLiteral("a filtered delete"), kCallRows, storedRows(app, kCallRows), {}, {}};
        trial.untouched = app.rows(QStringLiteral("SELECT Recno FROM DData WHERE LaneNo = 4"));
        CrashVfs& vfs = CrashVfs::install();
        vfs.record(app.folder());
        int reported = -1;
        app.messages().onAsk = [&](const ui::Message& message) {
            if (message.title == QLatin1String("Finished Deleting!"))
                reported = vfs.position();
        };
        filter::MaintScreen* browser = testing::openBrowser();
        QVERIFY(browser);
        filter::FindWindow* find = testing::openFilter(browser);
        QVERIFY(find);
        for (int lane = 1; lane <= 3; ++lane) {
            if (lane > 1)
                browser->Command2_Click();
            QVERIFY(find->isVisible());
            find->AdvancedButton->click();
            find->DeleteCheck->setChecked(true);
            QVERIFY(
                testing::fillRow(find, 0, QStringLiteral("LaneNo"), QStringLiteral("Equals"), QString::number(lane)));
            const QStringList gone = app.rows(QStringLiteral("SELECT Recno FROM DData WHERE LaneNo = %1").arg(lane));
            QCOMPARE(gone.size(), 4);
            reported = -1;
            find->OKButton->click();
            QVERIFY(reported >= 0);
            QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt(), 16 - 4 * lane);
            trial.steps.push_back({reported, {}, gone});
        }
        verify(cutEverywhere(trial, 20041210));
    }
};

QTEST_MAIN(TestPowerCut)
#include "test_powercut.moc"
