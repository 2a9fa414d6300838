#pragma once

#include "ui/Platform.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace reports {

/// The report control each printing screen holds as `CrystalReport1`: the
/// screen writes the destination, the selection formula, the sort fields and
/// the report file, then sets the action to 1, which runs the report and
/// returns once the output is with its destination (the preview window open
/// or the job with the printer). What goes wrong is told to the user in a
/// message naming the report file; the screen carries on.
class CrystalReport : public QObject {
    Q_OBJECT
public:
    static constexpr int kWindow = 0;
    static constexpr int kPrinter = 1;

    explicit CrystalReport(QObject* parent, const QString& name = QStringLiteral("CrystalReport1"));

    /// 1 printer, 0 preview window (the preview window unless set).
    void setDestination(int destination) { m_destination = destination; }
    int destination() const { return m_destination; }
    /// Replaces the report's own record selection from the next run on.
    void setSelectionFormula(const QString& formula) { m_selection = formula; }
    const std::optional<QString>& selectionFormula() const { return m_selection; }
    /// Sort field 0 to 2, "+{T.F}" or "-{T.F}"; an unset one keeps the report's own.
    void setSortFields(int index, const QString& field);
    const std::optional<QString>& sortField(int index) const { return m_sort.at(index); }
    /// A bare file name such as "alldata.rpt", looked for in the program's folder.
    void setReportFileName(const QString& name) { m_fileName = name; }
    const QString& reportFileName() const { return m_fileName; }
    /// 1 runs the report now; other values do nothing.
    void setAction(int action);

    /// What became of the last run sent to the printer; nullopt when the
    /// report could not be run or went to the preview window.
    const std::optional<ui::PrintOutcome>& lastPrint() const { return m_lastPrint; }

private:
    void run();

    int m_destination = kWindow;
    std::optional<QString> m_selection;
    std::array<std::optional<QString>, 3> m_sort;
    QString m_fileName;
    std::optional<ui::PrintOutcome> m_lastPrint;
};

} // namespace reports
