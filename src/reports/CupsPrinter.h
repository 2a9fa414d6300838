#pragma once

#include "ui/Platform.h"

#include <QString>

namespace reports::cups {

/// What the print system (CUPS) answered about a printer and a job sent to it.
struct Answers {
    QString printer;       ///< the printer's name; empty when there is none
    bool found = false;    ///< the printer is set up
    bool accepting = true; ///< it takes jobs
    int printerState = 3;  ///< 3 idle, 4 printing, 5 stopped
    QString stateReasons;  ///< what the print system says of the printer ("paused", "media-empty")
    QString stateMessage;  ///< what whoever stopped or closed the printer wrote ("out of paper")
    int job = 0;           ///< the job's number; 0: the print system did not take it
    int sendStatus = 0;    ///< the print system's answer to the sending
    int jobState = 0;      ///< 3 pending ... 6 stopped, 7 cancelled, 8 aborted, 9 completed; 0 unknown
};

/// What the answers amount to, in words a user can act on.
ui::PrintOutcome outcomeOf(const Answers& answers);

/// Sends the PDF file `pdf` to `printer` (the default printer when empty)
/// as the job `title`, `copies` times, then asks the print system what
/// became of the job. `pages` is what the outcome reports as sent.
ui::PrintOutcome sendPdf(const QString& pdf, const QString& title, const QString& printer, int copies, int pages);

} // namespace reports::cups
