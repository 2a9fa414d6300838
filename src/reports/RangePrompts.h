#pragma once

#include "ui/Screen.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class MaskedDateEdit;
}

namespace reports {

class CrystalReport;

/// Asks for a range of dates and runs one report on the records of `table`
/// between them (Date1: calls, Date2: notes, Date3: work sheets). What is
/// typed stays while the window is open; the formula goes to the report as
/// typed, and the report says what it cannot read.
class DatePrompt : public ui::Screen {
    Q_OBJECT
public:
    DatePrompt(const QString& name, const QString& table, const QString& reportFile);

    QGroupBox* Frame2;
    QLabel* Label1;
    ui::MaskedDateEdit* MaskEdBox1;
    QLabel* Label2;
    ui::MaskedDateEdit* MaskEdBox2;
    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command3;
    CrystalReport* CrystalReport1;

public slots:
    void Command3_Click();

private:
    QString m_table;
    QString m_reportFile;
};

/// Asks for a range of lanes and runs "sellane.rpt" on their calls.
class AskLane : public ui::Screen {
    Q_OBJECT
public:
    AskLane();

    QGroupBox* Frame2;
    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QPushButton* Command3;
    CrystalReport* CrystalReport1;

public slots:
    void Command3_Click();
};

} // namespace reports
