#include "CrystalReport.h"

#include "ReportOutput.h"

#include "reports/engine/Report.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"

namespace reports {

CrystalReport::CrystalReport(QObject* parent, const QString& name) : QObject(parent)
{
    setObjectName(name);
}

void CrystalReport::setSortFields(int index, const QString& field)
{
    if (index >= 0 && index < int(m_sort.size()))
        m_sort[index] = field;
}

void CrystalReport::setAction(int action)
{
    if (action == 1)
        run();
}

void CrystalReport::run()
{
    std::shared_ptr<ReportDocumentAdapter> document;
    QString error;
    {
        ui::pointer::BusyGuard busy;
        ReportRequest request;
        request.folder = ui::appFolder();
        request.databasePath = ui::databasePath();
        request.fileName = m_fileName;
        request.selection = m_selection;
        request.sortFields = m_sort;
        request.printedAt = ui::now();
        std::unique_ptr<Report> report = Report::run(request, &error);
        if (report)
            document = std::make_shared<ReportDocumentAdapter>(std::move(report));
    }
    if (!document) {
        ui::msgBox(error, ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    if (m_destination == kPrinter) {
        bool printed = false;
        {
            ui::pointer::BusyGuard busy;
            printed = ui::Platform::instance().reportOutput().toPrinter(*document, &error);
        }
        if (!printed)
            ui::msgBox(QStringLiteral("The report \"%1\" was not printed: %2").arg(document->fileName(), error),
                       ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    ui::Platform::instance().reportOutput().toWindow(document);
}

} // namespace reports
