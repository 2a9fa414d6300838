#include "PreviewWindow.h"

#include "ReportOutput.h"

#include "reports/engine/Report.h"
#include "ui/Platform.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace reports {
namespace {

QToolButton* toolButton(QToolBar* bar, const QString& name, const QString& caption, const QString& tip)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(false);
    bar->addWidget(button);
    return button;
}

// Zoom choices: a factor, or 0 for the whole page and -1 for the page's width.
constexpr double kWholePage = 0;
constexpr double kPageWidth = -1;

} // namespace

PreviewWindow::PreviewWindow(std::shared_ptr<ui::ReportDocument> document, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(std::move(document))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(m_document->title() + QStringLiteral(" - Preview"));
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewBar"));
    bar->setMovable(false);
    buildBar(bar);

    Area = new QScrollArea(this);
    Area->setObjectName(QStringLiteral("Area"));
    Area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Area->setBackgroundRole(QPalette::Dark);
    PageView = new QLabel(Area);
    PageView->setObjectName(QStringLiteral("PageView"));
    PageView->setFrameShape(QFrame::Box);
    PageView->setLineWidth(1);
    Area->setWidget(PageView);
    Area->setWidgetResizable(false);
    // "Page Width" and "Whole Page" follow the room the page is shown in.
    Area->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(Area, 1);
    connectControls();

    // A page width of paper and a bit, as high as the screen allows.
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    resize(std::min(900, screen.width() - 40), std::min(1000, screen.height() - 60));
    // The page, not the page box, has the keys: Page Up and Down, Home and End move.
    Area->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(Area);
    countPages();
    showPage(0);
    // A long report counts its pages while its first ones are looked at.
    if (!m_document->isComplete()) {
        m_reading = new QTimer(this);
        m_reading->setInterval(40);
        connect(m_reading, &QTimer::timeout, this, &PreviewWindow::catchUp);
        m_reading->start();
    }
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildBar(QToolBar* bar)
{
    FirstButton =
        toolButton(bar, QStringLiteral("FirstButton"), QStringLiteral("|<"), QStringLiteral("First page (Home)"));
    PreviousButton = toolButton(bar, QStringLiteral("PreviousButton"), QStringLiteral("<"),
                                QStringLiteral("Previous page (Page Up)"));
    bar->addWidget(new QLabel(QStringLiteral(" Page "), bar));
    PageBox = new QSpinBox(bar);
    PageBox->setObjectName(QStringLiteral("PageBox"));
    PageBox->setAccessibleName(QStringLiteral("Page"));
    PageBox->setKeyboardTracking(false);
    bar->addWidget(PageBox);
    PageCount = new QLabel(bar);
    PageCount->setObjectName(QStringLiteral("PageCount"));
    bar->addWidget(PageCount);
    NextButton =
        toolButton(bar, QStringLiteral("NextButton"), QStringLiteral(">"), QStringLiteral("Next page (Page Down)"));
    LastButton = toolButton(bar, QStringLiteral("LastButton"), QStringLiteral(">|"), QStringLiteral("Last page (End)"));
    bar->addSeparator();
    ZoomBox = new QComboBox(bar);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    ZoomBox->setAccessibleName(QStringLiteral("Zoom"));
    ZoomBox->addItem(QStringLiteral("Whole Page"), kWholePage);
    ZoomBox->addItem(QStringLiteral("Page Width"), kPageWidth);
    for (int percent : {50, 75, 100, 125, 150, 200})
        ZoomBox->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
    ZoomBox->setCurrentIndex(1);
    bar->addWidget(ZoomBox);
    bar->addSeparator();
    PrintButton = toolButton(bar, QStringLiteral("PrintButton"), QStringLiteral("&Print..."),
                             QStringLiteral("Print the report (Ctrl+P)"));
    PdfButton = toolButton(bar, QStringLiteral("PdfButton"), QStringLiteral("Save as P&DF..."),
                           QStringLiteral("Save the report as a PDF file"));
    CsvButton = toolButton(bar, QStringLiteral("CsvButton"), QStringLiteral("Save as &CSV..."),
                           QStringLiteral("Save the report's rows for a spreadsheet"));
    bar->addSeparator();
    CloseButton = toolButton(bar, QStringLiteral("CloseButton"), QStringLiteral("C&lose"),
                             QStringLiteral("Close the preview (Esc)"));
    bar->addSeparator();
    RunLabel = new QLabel(QStringLiteral(" Run ") + reportMoment(m_document->ranAt()) + QLatin1Char(' '), bar);
    RunLabel->setObjectName(QStringLiteral("RunLabel"));
    RunLabel->setToolTip(QStringLiteral("The report shows the rows as they were when it ran. Run it again to see "
                                        "changes made since."));
    bar->addWidget(RunLabel);
}

void PreviewWindow::connectControls()
{
    connect(FirstButton, &QToolButton::clicked, this, &PreviewWindow::First_Click);
    connect(PreviousButton, &QToolButton::clicked, this, &PreviewWindow::Previous_Click);
    connect(NextButton, &QToolButton::clicked, this, &PreviewWindow::Next_Click);
    connect(LastButton, &QToolButton::clicked, this, &PreviewWindow::Last_Click);
    connect(PageBox, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    connect(ZoomBox, &QComboBox::currentIndexChanged, this, &PreviewWindow::Zoom_Change);
    connect(PrintButton, &QToolButton::clicked, this, &PreviewWindow::Print_Click);
    connect(PdfButton, &QToolButton::clicked, this, &PreviewWindow::Pdf_Click);
    connect(CsvButton, &QToolButton::clicked, this, &PreviewWindow::Csv_Click);
    connect(CloseButton, &QToolButton::clicked, this, &QWidget::close);
    auto shortcut = [this](QKeySequence keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), &PreviewWindow::Next_Click);
    shortcut(QKeySequence(Qt::Key_PageUp), &PreviewWindow::Previous_Click);
    shortcut(QKeySequence(Qt::Key_Home), &PreviewWindow::First_Click);
    shortcut(QKeySequence(Qt::Key_End), &PreviewWindow::Last_Click);
    shortcut(QKeySequence::Print, &PreviewWindow::Print_Click);
    shortcut(QKeySequence(Qt::Key_Escape), &QWidget::close);
}

// The pages known so far; "of 120..." while a long report is still counting them.
void PreviewWindow::countPages()
{
    const int pages = std::max(1, m_document->pagesReady());
    const bool complete = m_document->isComplete();
    {
        const QSignalBlocker block(PageBox);
        PageBox->setRange(1, pages);
    }
    PageCount->setText(QStringLiteral(" of %1%2 ").arg(pages).arg(complete ? QString() : QStringLiteral("...")));
    PageCount->setToolTip(complete ? QString() : QStringLiteral("Still counting the pages"));
    NextButton->setEnabled(m_page < pages - 1);
    LastButton->setEnabled(m_page < pages - 1);
}

void PreviewWindow::catchUp()
{
    if (m_document->catchUp()) {
        m_reading->stop();
        render(); // the page's footing gains "of N"
        // The rest could not be read: the first page that cannot be shown says why.
        store::Error why;
        QImage none(1, 1, QImage::Format_RGB32);
        QPainter painter(&none);
        if (!m_document->isComplete() && !m_document->paintPage(painter, m_document->pagesReady(), &why))
            ui::msgBox(why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
    }
    countPages();
}

double PreviewWindow::pixelsPerPoint() const
{
    const double zoom = ZoomBox->currentData().toDouble();
    const double screenPerPoint = logicalDpiX() / 72.0;
    const QSizeF paper = m_document->pageSize();
    const QSize room = Area->viewport()->size() - QSize(24, 24);
    if (zoom == kPageWidth)
        return std::max(0.2, room.width() / paper.width());
    if (zoom == kWholePage)
        return std::max(0.2, std::min(room.width() / paper.width(), room.height() / paper.height()));
    return zoom * screenPerPoint;
}

void PreviewWindow::showPage(int index)
{
    const int last = std::max(0, m_document->pagesReady() - 1);
    index = std::clamp(index, 0, last);
    const bool moved = index != m_page || m_image.isNull();
    m_page = index;
    {
        const QSignalBlocker block(PageBox);
        PageBox->setValue(m_page + 1);
    }
    FirstButton->setEnabled(m_page > 0);
    PreviousButton->setEnabled(m_page > 0);
    NextButton->setEnabled(m_page < last);
    LastButton->setEnabled(m_page < last);
    if (moved || std::abs(pixelsPerPoint() - m_renderedScale) > 1e-6)
        render();
    if (moved)
        Area->verticalScrollBar()->setValue(0);
}

void PreviewWindow::Last_Click()
{
    showPage(m_document->pagesReady() - 1);
}

void PreviewWindow::render()
{
    const double scale = pixelsPerPoint();
    const double ratio = devicePixelRatioF();
    const QSizeF paper = m_document->pageSize() * scale;
    QImage image((paper * ratio).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    // The page is drawn for the image's resolution: fonts and lines keep their size on paper.
    const double dpi = 72.0 * scale * ratio;
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    {
        QPainter painter(&image);
        store::Error why;
        if (!m_document->paintPage(painter, m_page, &why)) {
            // A page that cannot be shown says why, where its rows would be.
            painter.setPen(Qt::black);
            painter.drawText(image.rect().adjusted(40, 40, -40, -40), Qt::AlignLeft | Qt::TextWordWrap, why.text());
        }
    }
    image.setDevicePixelRatio(ratio);
    m_image = image;
    m_renderedScale = scale;
    PageView->setPixmap(QPixmap::fromImage(m_image));
    PageView->resize(paper.toSize() + QSize(2, 2));
}

void PreviewWindow::Zoom_Change()
{
    render();
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport has its size only once it is laid out and shown, after
    // the window's own resize: the fitted zooms are worked out from there.
    if (watched == Area->viewport() && event->type() == QEvent::Resize && ZoomBox->currentData().toDouble() <= 0 &&
        std::abs(pixelsPerPoint() - m_renderedScale) > 1e-3)
        render();
    return QWidget::eventFilter(watched, event);
}

void PreviewWindow::Print_Click()
{
    printAsked(this, *m_document, m_page);
}

void PreviewWindow::Pdf_Click()
{
    savePdfAsked(this, *m_document);
}

void PreviewWindow::Csv_Click()
{
    saveCsvAsked(this, *m_document);
}

} // namespace reports
