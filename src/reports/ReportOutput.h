#pragma once

#include "ui/Platform.h"

#include <memory>

namespace reports {

class Report;

/// A report of the engine as the platform's output seam takes it.
class ReportDocumentAdapter final : public ui::ReportDocument {
public:
    explicit ReportDocumentAdapter(std::unique_ptr<Report> report);
    ~ReportDocumentAdapter() override;

    QString title() const override;
    QString fileName() const override;
    QSizeF pageSize() const override;
    QDateTime ranAt() const override;
    int pageCount() const override;
    int pagesReady() const override;
    bool isComplete() const override;
    bool catchUp() override;
    bool paintPage(QPainter& painter, int index, store::Error* error) const override;
    QStringList pageText(int index) const override;
    bool savePdf(const QString& path, store::Error* error, int first = 0, int last = -1) const override;
    bool saveCsv(const QString& path, store::Error* error) const override;

    const Report& report() const { return *m_report; }

private:
    std::unique_ptr<Report> m_report;
};

/// The program's report output: a preview window per report, the print
/// dialog, and printouts sent to the print system (CUPS) as PDF, the job's
/// fate asked for afterwards.
class ReportOutput final : public ui::ReportOutputSeam {
public:
    void toWindow(std::shared_ptr<ui::ReportDocument> document) override;
    std::optional<ui::PrintChoice> choosePrinter(QWidget* parent, const ui::ReportDocument& document,
                                                 int currentPage) override;
    ui::PrintOutcome toPrinter(const ui::ReportDocument& document, const ui::PrintChoice& choice) override;
};

/// What the user is told of a printout of the report file `fileName` that
/// did not simply go to the printer; empty when it did.
QString printMessage(const ui::PrintOutcome& outcome, const QString& fileName);

/// Print, Save as PDF and Save as CSV of a report shown in `parent`: each asks
/// what it needs (the print dialog, a file name), does it, and tells the user
/// in a message box when it did not happen. `currentPage` is the page on
/// show, offered by the print dialog.
void printAsked(QWidget* parent, const ui::ReportDocument& document, int currentPage);
void savePdfAsked(QWidget* parent, const ui::ReportDocument& document);
void saveCsvAsked(QWidget* parent, const ui::ReportDocument& document);

/// Makes the preview window and printing the program's report output.
void installReportOutput();

} // namespace reports
