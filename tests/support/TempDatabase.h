#pragma once

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariant>

namespace testing {

/// A temporary folder holding a fresh copy of the delivered database, with a
/// connection of its own for reading back what the program stored.
class TempDatabase {
public:
    TempDatabase();
    ~TempDatabase();
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    QString folder() const { return m_dir.path(); }
    QString databasePath() const;

    /// The first value of the first row of a query on the database file.
    QVariant scalar(const QString& sql);
    /// Every row of a query, each row's values joined by '|'.
    QStringList rows(const QString& sql);
    /// Runs a statement on the database file outside the program.
    bool exec(const QString& sql);

private:
    QTemporaryDir m_dir;
    QString m_connection;
};

/// A day as a plain date box shows it in the locale the test runs under.
QString shownDate(int year, int month, int day);

/// The locale the test runs under, as its environment names it ("de_DE").
QString localeName();

} // namespace testing
