// A page as drawn, compared with a stored picture of it: a graph page and a
// list page of the fixed report data, drawn at 100 dots per inch. Any change
// to the layout, the fonts or the graph shows here; after a change meant to
// be, STOPWELL_UPDATE_GOLDEN=1 stores the new pictures (look at them first).
#include "ReportFixture.h"

#include "reports/engine/Report.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

using reports::Report;

namespace {

QImage drawn(const Report& report, int index)
{
    QImage page(QSize(850, 1100), QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(3937); // 100 dots per inch
    page.setDotsPerMeterY(3937);
    QPainter painter(&page);
    report.paintPage(painter, index);
    return page;
}

// The share of pixels that differ clearly (by more than a sixth of the scale
// in a colour): anti-aliasing may differ a little between builds of a font
// renderer, a moved word or bar does not.
double differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1;
    qint64 differ = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (std::abs(qRed(p[x]) - qRed(q[x])) > 42 || std::abs(qGreen(p[x]) - qGreen(q[x])) > 42 ||
                std::abs(qBlue(p[x]) - qBlue(q[x])) > 42)
                ++differ;
        }
    }
    return double(differ) / (a.width() * a.height());
}

} // namespace

class TestPageImage : public QObject {
    Q_OBJECT
private slots:
    void pageLooksAsStored_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("graph") << "bgraph.rpt";
        QTest::newRow("list") << "alldata.rpt";
    }
    void pageLooksAsStored()
    {
        QFETCH(QString, file);
        testing::TempDatabase db;
        testing::fillReportData(db);
        testing::copyDefinitions(db.folder());
        store::Error error;
        const auto report = Report::run(testing::requestFor(db, file), &error);
        QVERIFY2(report, qPrintable(error.text()));
        const QImage page = drawn(*report, 0).convertToFormat(QImage::Format_RGB32);
        const QString stored =
            QDir(QStringLiteral(REPORT_GOLDEN_DIR)).filePath(QFileInfo(file).baseName() + QStringLiteral("-page1.png"));
        if (qEnvironmentVariableIsSet("STOPWELL_UPDATE_GOLDEN"))
            QVERIFY(page.save(stored));
        const QImage expected = QImage(stored).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!expected.isNull(), qPrintable(stored));
        const double share = differing(page, expected);
        if (share > 0.002)
            page.save(QDir::temp().filePath(QFileInfo(stored).fileName()));
        QVERIFY2(share <= 0.002, qPrintable(QStringLiteral("%1% of the page differs from %2 (drawn now: %3)")
                                                .arg(100 * share, 0, 'f', 2)
                                                .arg(stored, QDir::temp().filePath(QFileInfo(stored).fileName()))));
    }
};

QTEST_MAIN(TestPageImage)
#include "test_pageimage.moc"
