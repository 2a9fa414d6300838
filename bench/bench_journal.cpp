// How a commit is made durable, measured per journal mode: a bare prepared
// insert of one call in its own transaction on the delivered database, each
// against the same insert with DELETE/FULL (the engine's usual setting, whose
// journal delete is not synced to its folder, so not durable), measured in
// the same run, with the file and folder syncs per commit counted by a file
// layer over SQLite's. Then a call saved through the store as the lane entry
// saves it, in the mode the store uses.
//
//   bench_journal [commits]            (default 500 commits per mode)
//   bench_journal --mode <n> <folder>  (only the commits of mode n, for strace -c)
#include "BareInsert.h"
#include "BenchCommon.h"
#include "store/Database.h"
#include "store/RecordSet.h"
#include "support/SyncWatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

#include <unistd.h>

namespace {

QTextStream out(stdout);

struct Mode {
    const char* name;
    const char* pragmas;
    bool checkpoint; // the file alone made whole after every commit
};

const Mode kModes[] = {
    {"DELETE/FULL (not durable)", "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", false},
    {"TRUNCATE/FULL", "PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL;", false},
    {"DELETE/EXTRA", "PRAGMA journal_mode=DELETE; PRAGMA synchronous=EXTRA;", false},
    {"WAL/FULL", "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", false},
    {"WAL/FULL, checkpoint (TRUNCATE) after each commit", "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", true},
};
constexpr int kModeCount = int(sizeof(kModes) / sizeof(kModes[0]));


struct Figures {
    double ms = 0;
    double syncs = 0;
    QList<double> times;
};

Figures measure(const QString& path, const Mode& mode, int commits)
{
    testing::SyncWatch watch;
    bench::BareInsert bare(path, mode.pragmas, mode.checkpoint);
    for (int i = 0; i < 10; ++i)
        bare.run(); // the journal and the file settled
    ::sync();
    QList<double> times;
    watch.reset();
    int failures = 0;
    for (int i = 0; i < commits; ++i) {
        QElapsedTimer timer;
        timer.start();
        failures += bare.run() ? 0 : 1;
        times << timer.nsecsElapsed() / 1e6;
    }
    if (failures)
        out << "  !! " << failures << " commits failed in " << mode.name << '\n';
    return {bench::median(times), double(watch.syncs()) / commits, times};
}

/// A call saved through the store's record set, as the lane entry saves it.
Figures measureStore(const QString& path, int commits)
{
    testing::SyncWatch watch;
    store::RecordSet set;
    if (!set.open(path, QStringLiteral("DData")))
        return {};
    const QHash<int, QVariant> call{{set.fieldIndex(QStringLiteral("LaneNo")), 7},
                                    {set.fieldIndex(QStringLiteral("callmade")), QStringLiteral("Sweep hitting pins")}};
    for (int i = 0; i < 10; ++i) {
        set.AddNew();
        set.store(call);
    }
    ::sync();
    QList<double> times;
    watch.reset();
    for (int i = 0; i < commits; ++i) {
        QElapsedTimer timer;
        timer.start();
        set.AddNew();
        if (!set.store(call))
            out << "  !! a call was not saved\n";
        times << timer.nsecsElapsed() / 1e6;
    }
    return {bench::median(times), double(watch.syncs()) / commits, times};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QLatin1String("--mode")) {
        const Mode& mode = kModes[args.value(2).toInt()];
        bench::BareInsert bare(QDir(args.value(3)).filePath(QStringLiteral("Zuvevadu.mdb")), mode.pragmas, mode.checkpoint);
        for (int i = 0; i < 100; ++i)
            bare.run();
        return 0;
    }
    const int commits = args.size() > 1 ? args.at(1).toInt() : 500;
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Zuvevadu.mdb"));
    store::Error error;
    if (!store::createDatabase(path, &error)) {
        out << error.text() << '\n';
        return 1;
    }
    // Rounds alternate between the modes so that each sees the same machine.
    QList<double> times[kModeCount];
    double syncs[kModeCount] = {};
    // Short rounds: a burst of another program's disk work falls on every mode alike.
    const int rounds = 25;
    for (int round = 0; round < rounds; ++round) {
        for (int m = 0; m < kModeCount; ++m) {
            const Figures figures = measure(path, kModes[m], commits / rounds);
            times[m] << figures.times;
            syncs[m] = figures.syncs;
        }
    }
    const double baseline = bench::median(times[0]);
    out << "A bare insert in its own transaction, per journal mode, against " << kModes[0].name << ":\n";
    for (int m = 0; m < kModeCount; ++m) {
        bench::report(out, QString::fromLatin1(kModes[m].name), bench::median(times[m]), baseline, 0, 52, 3);
        out << QString::asprintf("  %.1f file and folder syncs per commit\n", syncs[m]);
    }
    const Figures saved = measureStore(path, commits);
    bench::report(out, QStringLiteral("a call saved through the store"), saved.ms, baseline, 0, 52, 3);
    out << QString::asprintf("  %.1f file and folder syncs per saved call, with ", saved.syncs)
        << store::kJournalPragmas << '\n';
    return 0;
}
