#include "ReportOutput.h"

#include "CupsPrinter.h"
#include "PreviewWindow.h"

#include "reports/engine/Report.h"
#include "ui/Pointer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

namespace reports {

ReportDocumentAdapter::ReportDocumentAdapter(std::unique_ptr<Report> report) : m_report(std::move(report)) {}

ReportDocumentAdapter::~ReportDocumentAdapter() = default;

QString ReportDocumentAdapter::title() const
{
    return m_report->title();
}

QString ReportDocumentAdapter::fileName() const
{
    return m_report->fileName();
}

QSizeF ReportDocumentAdapter::pageSize() const
{
    return m_report->pageSize();
}

QDateTime ReportDocumentAdapter::ranAt() const
{
    return m_report->ranAt();
}

int ReportDocumentAdapter::pageCount() const
{
    return m_report->pageCount();
}

int ReportDocumentAdapter::pagesReady() const
{
    return m_report->pagesReady();
}

bool ReportDocumentAdapter::isComplete() const
{
    return m_report->isComplete();
}

bool ReportDocumentAdapter::catchUp()
{
    return m_report->catchUp();
}

bool ReportDocumentAdapter::paintPage(QPainter& painter, int index, store::Error* error) const
{
    return m_report->paintPage(painter, index, error);
}

QStringList ReportDocumentAdapter::pageText(int index) const
{
    return m_report->pageText(index);
}

bool ReportDocumentAdapter::savePdf(const QString& path, store::Error* error, int first, int last) const
{
    return m_report->writePdf(path, error, first, last);
}

bool ReportDocumentAdapter::saveCsv(const QString& path, store::Error* error) const
{
    return m_report->writeCsv(path, error);
}

void ReportOutput::toWindow(std::shared_ptr<ui::ReportDocument> document)
{
    auto* window = new PreviewWindow(std::move(document));
    window->setAttribute(Qt::WA_DeleteOnClose);
    // A report still reading when the program ends stops reading first.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, [window] { delete window; });
    window->show();
    window->raise();
    window->activateWindow();
    // The first page is drawn before the run returns.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::optional<ui::PrintChoice> ReportOutput::choosePrinter(QWidget* parent, const ui::ReportDocument& document,
                                                           int currentPage)
{
    // No printer to choose from: the printout is sent, and the print system says there is none.
    if (QPrinterInfo::availablePrinters().isEmpty())
        return ui::PrintChoice{};
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    const int pages = document.pageCount();
    printer.setFromTo(1, pages);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print ") + document.title());
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    ui::PrintChoice choice;
    choice.printer = printer.printerName();
    choice.copies = printer.copyCount();
    if (printer.printRange() == QPrinter::CurrentPage) {
        choice.firstPage = choice.lastPage = currentPage;
    } else if (printer.printRange() == QPrinter::PageRange) {
        choice.firstPage = std::max(0, printer.fromPage() - 1);
        choice.lastPage = printer.toPage() > 0 ? printer.toPage() - 1 : -1;
    }
    return choice;
}

ui::PrintOutcome ReportOutput::toPrinter(const ui::ReportDocument& document, const ui::PrintChoice& choice)
{
    // The print system takes the report as the PDF file the preview saves.
    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("report.pdf"));
    ui::PrintOutcome outcome;
    outcome.printer = choice.printer;
    store::Error error;
    if (!folder.isValid() || !document.savePdf(pdf, &error, choice.firstPage, choice.lastPage)) {
        outcome.state = ui::PrintOutcome::State::Failed;
        outcome.reason = error ? error.text() : QStringLiteral("no room was left for it in the temporary folder");
        return outcome;
    }
    const int last = choice.lastPage < 0 ? document.pageCount() - 1 : choice.lastPage;
    return cups::sendPdf(pdf, document.title(), choice.printer, choice.copies, last - choice.firstPage + 1);
}

QString printMessage(const ui::PrintOutcome& outcome, const QString& fileName)
{
    using State = ui::PrintOutcome::State;
    switch (outcome.state) {
    case State::Sent:
        return {};
    case State::NoPrinter:
        return QStringLiteral("The report \"%1\" was not printed: %2. Set one up, or preview the report and save it "
                              "as a PDF file.")
            .arg(fileName, outcome.reason);
    case State::Refused:
        return QStringLiteral("The printer \"%1\" refused the report \"%2\": %3. Nothing was printed; ask whoever "
                              "looks after the printer, or preview the report and save it as a PDF file.")
            .arg(outcome.printer, fileName, outcome.reason);
    case State::Stopped:
        return QStringLiteral("The report \"%1\" is waiting at the printer \"%2\": %3. It prints when the printer is "
                              "started again.")
            .arg(fileName, outcome.printer, outcome.reason);
    case State::Failed:
        break;
    }
    return QStringLiteral("The report \"%1\" was not printed on \"%2\": %3.")
        .arg(fileName, outcome.printer, outcome.reason);
}

void printAsked(QWidget* parent, const ui::ReportDocument& document, int currentPage)
{
    ui::ReportOutputSeam& output = ui::Platform::instance().reportOutput();
    const std::optional<ui::PrintChoice> choice = output.choosePrinter(parent, document, currentPage);
    if (!choice)
        return;
    ui::PrintOutcome outcome;
    {
        ui::pointer::BusyGuard busy;
        outcome = output.toPrinter(document, *choice);
    }
    const QString told = printMessage(outcome, document.fileName());
    if (!told.isEmpty())
        ui::msgBox(told, ui::Buttons::Ok, ui::Icon::Exclamation);
}

namespace {

// The file name a report is offered under: its name in the home folder.
QString suggestedPath(const ui::ReportDocument& document, const QString& suffix)
{
    return QDir::home().filePath(QFileInfo(document.fileName()).completeBaseName() + suffix);
}

// Asks where to save, adding `suffix` to a name typed without one; empty when the user cancelled.
QString askPath(QWidget* parent, const ui::ReportDocument& document, const QString& caption, const QString& suffix,
                const QString& filter)
{
    QString path =
        ui::Platform::instance().fileDialog().saveFileName(parent, caption, suggestedPath(document, suffix), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += suffix;
    return path;
}

} // namespace

void savePdfAsked(QWidget* parent, const ui::ReportDocument& document)
{
    const QString path = askPath(parent, document, QStringLiteral("Save as PDF"), QStringLiteral(".pdf"),
                                 QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    store::Error error;
    bool saved = false;
    {
        ui::pointer::BusyGuard busy;
        saved = document.savePdf(path, &error);
    }
    if (!saved)
        ui::msgBox(QStringLiteral("The report was not saved: %1").arg(error.text()), ui::Buttons::Ok, ui::Icon::Exclamation);
}

void saveCsvAsked(QWidget* parent, const ui::ReportDocument& document)
{
    const QString path = askPath(parent, document, QStringLiteral("Save as CSV"), QStringLiteral(".csv"),
                                 QStringLiteral("CSV files for spreadsheets (*.csv)"));
    if (path.isEmpty())
        return;
    store::Error error;
    bool saved = false;
    {
        ui::pointer::BusyGuard busy;
        saved = document.saveCsv(path, &error);
    }
    if (!saved)
        ui::msgBox(QStringLiteral("The report's rows were not saved: %1").arg(error.text()), ui::Buttons::Ok,
                   ui::Icon::Exclamation);
}

void installReportOutput()
{
    ui::Platform::setReportOutputFactory([] { return std::make_unique<ReportOutput>(); });
    ui::Platform::instance().setReportOutput(std::make_unique<ReportOutput>());
}

} // namespace reports
