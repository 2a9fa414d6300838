#include "TempDatabase.h"

#include "store/Database.h"
#include "store/FieldValue.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace testing {

TempDatabase::TempDatabase()
{
    store::Error error;
    if (!store::createDatabase(databasePath(), &error))
        qFatal("cannot make the test database: %s", qPrintable(error.text()));
    m_connection = QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(databasePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    db.open();
}

TempDatabase::~TempDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString TempDatabase::databasePath() const
{
    return m_dir.filePath(QStringLiteral("Zuvevadu.mdb"));
}

QVariant TempDatabase::scalar(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(sql)) {
        qWarning("query failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

QStringList TempDatabase::rows(const QString& sql)
{
    QStringList result;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(sql)) {
        qWarning("query failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return result;
    }
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i)
            values << q.value(i).toString();
        result << values.join(QLatin1Char('|'));
    }
    return result;
}

bool TempDatabase::exec(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    return q.exec(sql);
}

QString shownDate(int year, int month, int day)
{
    return store::toText(store::FieldType::Date, QDate(year, month, day));
}

QString localeName()
{
    return QLocale::system().name();
}

} // namespace testing
