#include "Error.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

#include <sqlite3.h>

namespace store {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString Error::text() const
{
    if (detail.isEmpty() || detail == message)
        return message;
    return message + QStringLiteral("\n\n(") + detail + QLatin1Char(')');
}

Error Error::make(Kind kind, const QString& message, const QString& detail)
{
    Error error;
    error.kind = kind;
    error.message = message;
    error.detail = detail;
    return error;
}

Error Error::at(int position, const QString& message)
{
    Error error = make(Kind::Refused, message);
    error.position = position;
    return error;
}

Error Error::fromSql(const QSqlError& error, const QString& path)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    QString engine = error.databaseText();
    if (engine.isEmpty())
        engine = error.text();
    return fromSqlite(ok ? code : SQLITE_ERROR, engine, path);
}

Error Error::about(Kind kind, const QString& path, const QString& detail)
{
    return aboutSubject(kind, QStringLiteral("The database file \"%1\"").arg(shownPath(path)), detail);
}

Error Error::aboutSubject(Kind kind, const QString& subject, const QString& detail)
{
    QString predicate;
    switch (kind) {
    case Kind::InUse:
        predicate =
            QStringLiteral("is in use by another program. Close that program, or wait a moment, and try again.");
        break;
    case Kind::ReadOnly:
        predicate = QStringLiteral("can only be read: changes cannot be stored. The file or its folder may not be "
                                   "written to.");
        break;
    case Kind::Damaged:
        predicate = QStringLiteral("is not a Tarrowby Stopwell database, or it is damaged.");
        break;
    case Kind::DiskFull:
        predicate = QStringLiteral("cannot be written: the disk that holds it is full. Make room on the disk and try "
                                   "again.");
        break;
    case Kind::Io:
        predicate = QStringLiteral("could not be read or written: the disk or the network may have failed.");
        break;
    case Kind::Missing:
        predicate = QStringLiteral("cannot be found.");
        break;
    default:
        predicate = QStringLiteral("refused the operation.");
        break;
    }
    return make(kind, subject + QLatin1Char(' ') + predicate, detail);
}

Error::Kind Error::kindOfSqlite(int code, const QString& engineText)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::InUse;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return Kind::ReadOnly;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Kind::Damaged;
    case SQLITE_FULL:
        return Kind::DiskFull;
    case SQLITE_IOERR:
        return Kind::Io;
    default:
        break;
    }
    // A trigger or another program's rule may refuse with a reason of its own.
    if (engineText.contains(QLatin1String("disk is full"), Qt::CaseInsensitive))
        return Kind::DiskFull;
    return Kind::Other;
}

Error Error::fromSqlite(int code, const QString& engineText, const QString& path)
{
    return about(kindOfSqlite(code, engineText), path, engineText);
}

} // namespace store
