#pragma once

#include "ui/Platform.h"

#include <memory>

class QPrinter;

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
    int pageCount() const override;
    void paintPage(QPainter& painter, int index) const override;
    QStringList pageText(int index) const override;
    bool savePdf(const QString& path, QString* error) const override;
    bool saveCsv(const QString& path, QString* error) const override;

    const Report& report() const { return *m_report; }

private:
    std::unique_ptr<Report> m_report;
};

/// The program's report output: a preview window per report, and the
/// default printer through Qt's print support.
class ReportOutput final : public ui::ReportOutputSeam {
public:
    void toWindow(std::shared_ptr<ui::ReportDocument> document) override;
    bool toPrinter(const ui::ReportDocument& document, QString* error) override;
};

/// Prints a report on `printer`: every page, or the range the print dialog set.
bool printDocument(const ui::ReportDocument& document, QPrinter& printer, QString* error);

/// Makes the preview window, printing and the graphs drawn with Qt Charts
/// the program's report output.
void installReportOutput();

} // namespace reports
