#include "CupsPrinter.h"

#include <QFile>
#include <QStringList>

#include <cups/cups.h>

namespace reports::cups {
namespace {

// The print system's words for a printer's state, as a mechanic would say them.
QString reasonWords(const QString& reasons)
{
    static const std::pair<const char*, const char*> words[] = {
        {"paused", "someone paused it"},
        {"media-empty", "it is out of paper"},
        {"media-needed", "it needs paper"},
        {"media-jam", "paper is jammed in it"},
        {"door-open", "a door of it is open"},
        {"cover-open", "its cover is open"},
        {"toner-empty", "it is out of toner"},
        {"marker-supply-empty", "it is out of ink or toner"},
        {"offline", "it is switched off or not connected"},
    };
    QStringList said;
    for (const auto& [reason, text] : words) {
        if (reasons.contains(QLatin1String(reason)))
            said << QString::fromLatin1(text);
    }
    return said.join(QStringLiteral(", "));
}

QString option(const cups_dest_t* dest, const char* name)
{
    return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
}

// What whoever closed or stopped the printer wrote: not among a destination's options, asked for apart.
QString stateMessage(const QString& uri)
{
    if (uri.isEmpty())
        return {};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.toUtf8().constData());
    static const char* const wanted[] = {"printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t* attribute = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    const QString message = attribute ? QString::fromUtf8(ippGetString(attribute, 0, nullptr)) : QString();
    ippDelete(response);
    return message;
}

// What the print system says of the printer now.
void readPrinter(const char* name, Answers& answers)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name, nullptr);
    answers.found = dest != nullptr;
    if (!dest)
        return;
    answers.printer = QString::fromUtf8(dest->name);
    const QString accepting = option(dest, "printer-is-accepting-jobs");
    answers.accepting = accepting.isEmpty() || accepting == QLatin1String("true");
    const QString state = option(dest, "printer-state");
    answers.printerState = state.isEmpty() ? IPP_PSTATE_IDLE : state.toInt();
    answers.stateReasons = option(dest, "printer-state-reasons");
    if (!answers.accepting || answers.printerState == IPP_PSTATE_STOPPED)
        answers.stateMessage = stateMessage(option(dest, "printer-uri-supported"));
    cupsFreeDests(1, dest);
}

int jobState(const QByteArray& printer, int job)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.constData(), 1, CUPS_WHICHJOBS_ALL);
    int state = 0;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id == job)
            state = jobs[i].state;
    }
    cupsFreeJobs(count, jobs);
    return state;
}

} // namespace

ui::PrintOutcome outcomeOf(const Answers& answers)
{
    using State = ui::PrintOutcome::State;
    ui::PrintOutcome outcome;
    outcome.printer = answers.printer;
    outcome.job = answers.job;
    if (!answers.found) {
        outcome.state = State::NoPrinter;
        outcome.reason = answers.printer.isEmpty()
                             ? QStringLiteral("no printer is set up on this computer")
                             : QStringLiteral("the printer \"%1\" is not set up on this computer").arg(answers.printer);
        return outcome;
    }
    QString why = reasonWords(answers.stateReasons);
    if (!answers.stateMessage.trimmed().isEmpty()) // the words of whoever closed or stopped it
        why += (why.isEmpty() ? QString() : QStringLiteral(", ")) +
               QStringLiteral("\"%1\"").arg(answers.stateMessage.trimmed());
    if (answers.job == 0) {
        const bool refused = !answers.accepting || answers.sendStatus == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
        outcome.state = refused ? State::Refused : State::Failed;
        outcome.reason = refused ? QStringLiteral("the printer is set not to accept jobs")
                                 : QStringLiteral("the print system did not take the job");
    } else if (answers.jobState == IPP_JSTATE_CANCELED || answers.jobState == IPP_JSTATE_ABORTED) {
        outcome.state = State::Refused;
        outcome.reason = answers.jobState == IPP_JSTATE_CANCELED ? QStringLiteral("the print system cancelled the job")
                                                                 : QStringLiteral("the print system gave the job up");
    } else if (answers.jobState == IPP_JSTATE_STOPPED || answers.printerState == IPP_PSTATE_STOPPED) {
        outcome.state = State::Stopped;
        outcome.reason = QStringLiteral("the printer is stopped");
    } else {
        return outcome;
    }
    if (!why.isEmpty())
        outcome.reason += QStringLiteral(" (") + why + QLatin1Char(')');
    return outcome;
}

ui::PrintOutcome sendPdf(const QString& pdf, const QString& title, const QString& printer, int copies, int pages)
{
    Answers answers;
    answers.printer = printer;
    const QByteArray name = printer.toUtf8();
    readPrinter(printer.isEmpty() ? nullptr : name.constData(), answers);
    if (answers.found) {
        const QByteArray chosen = answers.printer.toUtf8();
        int count = 0;
        cups_option_t* options = nullptr;
        if (copies > 1)
            count = cupsAddOption("copies", QByteArray::number(copies).constData(), count, &options);
        answers.job = cupsPrintFile2(CUPS_HTTP_DEFAULT, chosen.constData(), QFile::encodeName(pdf).constData(),
                                     title.toUtf8().constData(), count, options);
        answers.sendStatus = answers.job == 0 ? int(cupsLastError()) : 0;
        cupsFreeOptions(count, options);
        // Asked after sending: a printer stopped or a job refused meanwhile is told too.
        if (answers.job != 0)
            answers.jobState = jobState(chosen, answers.job);
        readPrinter(chosen.constData(), answers);
    }
    ui::PrintOutcome outcome = outcomeOf(answers);
    outcome.pages = pages;
    return outcome;
}

} // namespace reports::cups
