#include "DataWidget.h"

#include "ui/Controls.h"
#include "ui/RecordSource.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace filter {

DataWidget::DataWidget(QWidget* parent, const QString& name, const QString& caption, ui::RecordSource* source,
                       const QString& field)
    : QWidget(parent), m_caption(new QLabel(caption, this)), m_box(new QLineEdit(this))
{
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const struct {
        const char* name;
        const char* text;
        const char* tip;
        int step;
    } buttons[] = {{"First", "|\u25C0", "First call", -2},
                   {"Previous", "\u25C0", "Previous call", -1},
                   {"Next", "\u25B6", "Next call", 1},
                   {"Last", "\u25B6|", "Last call", 2}};
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setTextFormat(Qt::PlainText);
    m_box->setObjectName(QStringLiteral("field"));
    m_box->setAccessibleName(caption);
    m_box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui::selectAllOnFocus(m_box);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(buttons[i].name));
        b->setText(QString::fromUtf8(buttons[i].text));
        b->setToolTip(QString::fromLatin1(buttons[i].tip));
        b->setAccessibleName(QString::fromLatin1(buttons[i].tip));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        const int step = buttons[i].step;
        connect(b, &QToolButton::clicked, source, [source, step] { source->step(step); });
        m_buttons.append(b);
    }
    layout->addWidget(m_buttons[0]);
    layout->addWidget(m_buttons[1]);
    layout->addWidget(m_caption);
    layout->addWidget(m_box, 1);
    layout->addWidget(m_buttons[2]);
    layout->addWidget(m_buttons[3]);
    m_caption->setBuddy(m_box);
    source->bind(m_box, field);
}

} // namespace filter
