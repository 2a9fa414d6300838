#include "ReportOutput.h"

#include "ChartPainter.h"
#include "PreviewWindow.h"

#include "reports/engine/Report.h"

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

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

int ReportDocumentAdapter::pageCount() const
{
    return m_report->pageCount();
}

void ReportDocumentAdapter::paintPage(QPainter& painter, int index) const
{
    m_report->paintPage(painter, index);
}

QStringList ReportDocumentAdapter::pageText(int index) const
{
    return m_report->pageText(index);
}

bool ReportDocumentAdapter::savePdf(const QString& path, QString* error) const
{
    return m_report->writePdf(path, error);
}

bool ReportDocumentAdapter::saveCsv(const QString& path, QString* error) const
{
    return m_report->writeCsv(path, error);
}

void ReportOutput::toWindow(std::shared_ptr<ui::ReportDocument> document)
{
    auto* window = new PreviewWindow(std::move(document));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
    // The first page is drawn before the run returns.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool ReportOutput::toPrinter(const ui::ReportDocument& document, QString* error)
{
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull()) {
        if (error)
            *error = QStringLiteral("no printer is set up on this computer. Set one up, or preview the report and "
                                    "save it as a PDF file.");
        return false;
    }
    QPrinter printer(target, QPrinter::HighResolution);
    return printDocument(document, printer, error);
}

bool printDocument(const ui::ReportDocument& document, QPrinter& printer, QString* error)
{
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(document.pageSize(), QPageSize::Point, QString(), QPageSize::FuzzyMatch));
    printer.setPageOrientation(document.pageSize().width() > document.pageSize().height() ? QPageLayout::Landscape
                                                                                          : QPageLayout::Portrait);
    printer.setDocName(document.title());
    const int first = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int last = printer.toPage() > 0 ? qMin(printer.toPage(), document.pageCount()) - 1 : document.pageCount() - 1;
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("the printer \"%1\" did not take the job.").arg(printer.printerName());
        return false;
    }
    for (int i = first; i <= last; ++i) {
        if (i > first && !printer.newPage()) {
            if (error)
                *error = QStringLiteral("the printer stopped after page %1.").arg(i);
            return false;
        }
        document.paintPage(painter, i);
    }
    painter.end();
    return true;
}

void installReportOutput()
{
    setChartPainter(paintChart);
    ui::Platform::setReportOutputFactory([] { return std::make_unique<ReportOutput>(); });
    ui::Platform::instance().setReportOutput(std::make_unique<ReportOutput>());
}

} // namespace reports
