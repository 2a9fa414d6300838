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
    m_lastPrint.reset();
    std::shared_ptr<ReportDocumentAdapter> document;
    store::Error error;
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
        ui::msgBox(error.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    if (m_destination == kPrinter) {
        {
            ui::pointer::BusyGuard busy;
            m_lastPrint = ui::Platform::instance().reportOutput().toPrinter(*document, ui::PrintChoice{});
        }
        const QString told = printMessage(*m_lastPrint, document->fileName());
        if (!told.isEmpty())
            ui::msgBox(told, ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    ui::Platform::instance().reportOutput().toWindow(document);
}

} // namespace reports
