#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace ui {

class MaskedDateEdit;
class RecordSource;

/// The flow of adding a day on the daily screens (notes, frame counts, work
/// assignments): New Day starts a new record, its day is typed in a masked
/// date entry, Save stores it only with a real date, Cancel drops it, and
/// Exit or closing the window stores it when anything was typed (with a real
/// date) and drops it when nothing was. While a day is being added the
/// navigation bar is off, so no move stores it half-made. Each screen shows
/// and hides its own buttons around these steps.
class AddingMode : public QObject {
    Q_OBJECT
public:
    /// `missingDate` is the screen's message for a Save with no date typed;
    /// `boxes` are what the user types into, to tell whether anything was.
    AddingMode(RecordSource* source, MaskedDateEdit* date, QString missingDate, QList<QWidget*> boxes, QObject* parent);

    bool isAdding() const;
    /// Starts a new day; false when the day shown could not be stored first
    /// (the user was told why).
    bool begin();
    /// What the boxes hold now is what a new day starts with (the screen has
    /// filled in its starting values): holding only that is "nothing typed".
    void markStart();
    /// Something was typed or copied into the new day.
    bool typedSomething() const;

    /// Save's check: the screen's message when no date is typed, the
    /// impossible-date message when the date is no real day; the focus goes
    /// back into the date entry. True when the day can be stored.
    bool dateReady();
    /// Stores the new day after its check; false after telling the user why.
    bool save();
    /// Drops the new day: the day shown before it comes back.
    void cancel();
    /// For Exit and closing the window: drops an untouched new day, stores a
    /// typed one when its date is a real day. False when the screen must
    /// stay for the user to put the date right.
    bool settle();

    /// The boxes can be typed into only while there is a day to type into:
    /// on an empty table nothing typed before New Day would be kept.
    void enableOnlyWithRecord(QList<QWidget*> boxes);

private:
    void ended();
    QString contentOf(QWidget* box) const;

    QPointer<RecordSource> m_source;
    MaskedDateEdit* m_date;
    QString m_missingDate;
    QList<QWidget*> m_boxes;
    QStringList m_start;
};

} // namespace ui
