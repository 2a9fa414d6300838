#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;
class QTimer;
class QToolBar;
class QToolButton;

namespace ui {
class ReportDocument;
}

namespace reports {

/// The preview window of one report: a page at a time, at the zoom chosen,
/// with page navigation, Print, Save as PDF and Save as CSV, and when the
/// report ran (it shows the rows of that moment). Only the page on show is
/// drawn, so the first page of a long report shows at once; the pages after
/// it are counted while it is looked at.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(std::shared_ptr<ui::ReportDocument> document, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    const ui::ReportDocument& document() const { return *m_document; }
    /// The page on show, from 0.
    int currentPage() const { return m_page; }
    /// The page as last drawn.
    const QImage& pageImage() const { return m_image; }

    QToolButton* FirstButton;
    QToolButton* PreviousButton;
    QSpinBox* PageBox;
    QLabel* PageCount;
    QToolButton* NextButton;
    QToolButton* LastButton;
    QComboBox* ZoomBox;
    QToolButton* PrintButton;
    QToolButton* PdfButton;
    QToolButton* CsvButton;
    QToolButton* CloseButton;
    QLabel* RunLabel;
    QScrollArea* Area;
    QLabel* PageView;

public slots:
    void showPage(int index);
    void First_Click() { showPage(0); }
    void Previous_Click() { showPage(m_page - 1); }
    void Next_Click() { showPage(m_page + 1); }
    void Last_Click();
    void Zoom_Change();
    void Print_Click();
    void Pdf_Click();
    void Csv_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBar(QToolBar* bar);
    void connectControls();
    double pixelsPerPoint() const;
    void render();
    void countPages();
    void catchUp();

    std::shared_ptr<ui::ReportDocument> m_document;
    int m_page = 0;
    QImage m_image;
    double m_renderedScale = 0;
    QTimer* m_reading = nullptr;
};

} // namespace reports
