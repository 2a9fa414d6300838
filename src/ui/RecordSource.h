#pragma once

#include "Screen.h"

#include "store/RecordSet.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;

namespace ui {

class BoundControl;

/// A record source placed on a screen (`Data1`, `Data2`): a table or a
/// statement on the stop database, the controls bound to its fields, and an
/// optional navigation bar (first, previous, next, last) with a caption.
///
/// Bound controls write into the current record on UpdateRecord and whenever
/// the source leaves the record: a move, a Refresh or the closing of its
/// screen. A new record with nothing set in its bound controls is never stored.
/// Every failure of the store is told to the user in words they can act on.
class RecordSource : public QWidget, public SourceHook {
    Q_OBJECT
public:
    RecordSource(QWidget* parent, const QString& name, const QString& source);
    ~RecordSource() override;

    void setDatabaseName(const QString& path) { m_path = path; }
    const QString& DatabaseName() const { return m_path; }
    void setRecordSource(const QString& source) { m_source = source; }
    const QString& recordSource() const { return m_source; }
    void setCaption(const QString& caption);
    QString caption() const;

    /// Binds a control to a field: text boxes, the masked date entry, labels,
    /// multi-line boxes and check boxes. Labels only show their field.
    void bind(QWidget* control, const QString& field);

    /// Opens again with the current path and source; the first record becomes current.
    bool Refresh();
    /// The same, for a caller that tells the user itself: a failure to open is
    /// returned in `error`, not shown (a lock held by another program is not
    /// waited out either). Edits of the bound controls are stored first, as
    /// Refresh does; when they cannot be, the user was told and `error` is empty.
    bool tryRefresh(store::Error* error);
    /// Writes the bound controls into the current record now, a new record included.
    bool UpdateRecord();
    store::RecordSet& Recordset() { return m_set; }
    /// Runs a Delete statement of the classic dialect on the source's database.
    bool Execute(const QString& statement, int* rowsAffected = nullptr);
    bool isOpen() const { return m_set.isOpen(); }
    void Close();

    /// Moves by the navigation bar: -2 first, -1 previous, 1 next, 2 last.
    void step(int direction);
    /// Makes the record at a position current (a grid's row), storing edits first.
    bool moveToPosition(qint64 position);
    /// Stores a field of the record at a position from its text, as a grid
    /// cell edits it, with the checks of the bound controls; the record
    /// becomes current. False after the user was told why.
    bool storeFieldText(qint64 position, const QString& field, const QString& text);
    /// Tells the user about a failure of the store (the set's last error).
    void reportStoreError(const QString& what) const;

    // SourceHook
    bool openOnLoad() override;
    bool writeBackOnClose() override;
    bool writeBackOnExit() override;
    void discard() override;

signals:
    /// The current record changed, including when the source first opens.
    void Reposition();
    /// The record set was opened again (Refresh) or closed: positions changed.
    void reopened();
    /// The current record was stored.
    void stored();

private:
    struct Binding {
        QPointer<QWidget> control;
        const BoundControl* kind;
        QString field;
        // What the control held when the record was last shown: only a
        // control whose content changed since is written back, so a value
        // that does not survive a round trip unchanged is never rewritten.
        QString shown;
    };
    /// Values of the bound controls that differ from the current record;
    /// nullopt after telling the user that a value does not fit its field.
    std::optional<QHash<int, QVariant>> boundValues();
    bool writeBack();
    void showRecord();
    bool hasEditableBindings() const;

    store::RecordSet m_set;
    QString m_path;
    QString m_source;
    QList<Binding> m_bindings;
    QLabel* m_caption;
    QList<QToolButton*> m_buttons;
};

} // namespace ui
