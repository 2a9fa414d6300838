// What the print system's answers about a printout amount to, and what the
// user is told of each: no print system is needed, the answers are written
// here as CUPS gives them.
#include "reports/CupsPrinter.h"
#include "reports/ReportOutput.h"

#include <QTest>

#include <cups/cups.h>

using reports::cups::Answers;
using State = ui::PrintOutcome::State;

namespace {

Answers office()
{
    Answers a;
    a.printer = QStringLiteral("Office");
    a.found = true;
    a.printerState = IPP_PSTATE_IDLE;
    return a;
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void answersAreTold_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("message");
        QTest::newRow("no printer set up")
            << 0 << int(State::NoPrinter)
            << "The report \"daily.rpt\" was not printed: no printer is set up on this computer. Set one up, or "
               "preview the report and save it as a PDF file.";
        QTest::newRow("the printer named is gone")
            << 1 << int(State::NoPrinter)
            << "The report \"daily.rpt\" was not printed: the printer \"Office\" is not set up on this computer. Set "
               "one up, or preview the report and save it as a PDF file.";
        QTest::newRow("set to refuse jobs")
            << 2 << int(State::Refused)
            << "The printer \"Office\" refused the report \"daily.rpt\": the printer is set not to accept jobs "
               "(\"closed for the night\"). Nothing was printed; ask whoever looks after the printer, or preview the "
               "report and save it as a PDF file.";
        QTest::newRow("not taken") << 3 << int(State::Failed)
                                   << "The report \"daily.rpt\" was not printed on \"Office\": the print system did "
                                      "not take the job.";
        QTest::newRow("cancelled at once")
            << 4 << int(State::Refused)
            << "The printer \"Office\" refused the report \"daily.rpt\": the print system cancelled the job. Nothing "
               "was printed; ask whoever looks after the printer, or preview the report and save it as a PDF file.";
        QTest::newRow("printer paused")
            << 5 << int(State::Stopped)
            << "The report \"daily.rpt\" is waiting at the printer \"Office\": the printer is stopped (someone paused "
               "it, it is out of paper). It prints when the printer is started again.";
        QTest::newRow("job stopped") << 6 << int(State::Stopped)
                                     << "The report \"daily.rpt\" is waiting at the printer \"Office\": the printer is "
                                        "stopped. It prints when the printer is started again.";
        QTest::newRow("printing") << 7 << int(State::Sent) << "";
        QTest::newRow("printed") << 8 << int(State::Sent) << "";
    }
    void answersAreTold()
    {
        QFETCH(int, which);
        QFETCH(int, state);
        QFETCH(QString, message);
        Answers a = office();
        a.job = 42;
        a.jobState = IPP_JSTATE_PROCESSING;
        switch (which) {
        case 0:
            a = Answers{};
            break;
        case 1:
            a.found = false;
            break;
        case 2:
            a.accepting = false;
            a.job = 0;
            a.sendStatus = IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
            a.stateMessage = QStringLiteral("closed for the night");
            break;
        case 3:
            a.job = 0;
            a.sendStatus = IPP_STATUS_ERROR_INTERNAL;
            break;
        case 4:
            a.jobState = IPP_JSTATE_CANCELED;
            break;
        case 5:
            a.printerState = IPP_PSTATE_STOPPED;
            a.stateReasons = QStringLiteral("paused,media-empty-error");
            a.jobState = IPP_JSTATE_PENDING;
            break;
        case 6:
            a.jobState = IPP_JSTATE_STOPPED;
            break;
        case 8:
            a.jobState = IPP_JSTATE_COMPLETED;
            break;
        }
        const ui::PrintOutcome outcome = reports::cups::outcomeOf(a);
        QCOMPARE(int(outcome.state), state);
        QCOMPARE(reports::printMessage(outcome, QStringLiteral("daily.rpt")), message);
    }
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
