#include "StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

#include <sqlite3.h>

namespace store {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString StoreError::text() const
{
    if (detail.isEmpty() || detail == message)
        return message;
    return message + QStringLiteral("\n\n(") + detail + QLatin1Char(')');
}

StoreError StoreError::make(Kind kind, const QString& message, const QString& detail)
{
    StoreError error;
    error.kind = kind;
    error.message = message;
    error.detail = detail;
    return error;
}

StoreError StoreError::fromSql(const QSqlError& error, const QString& path)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    QString engine = error.databaseText();
    if (engine.isEmpty())
        engine = error.text();
    return fromSqlite(ok ? code : SQLITE_ERROR, engine, path);
}

StoreError StoreError::about(Kind kind, const QString& path, const QString& detail)
{
    const QString file = shownPath(path);
    switch (kind) {
    case Kind::InUse:
        return make(kind,
                    QStringLiteral("The database file \"%1\" is in use by another program. Close that program, or "
                                   "wait a moment, and try again.")
                        .arg(file),
                    detail);
    case Kind::ReadOnly:
        return make(kind,
                    QStringLiteral("The database file \"%1\" can only be read: changes cannot be stored. The file or "
                                   "its folder may not be written to.")
                        .arg(file),
                    detail);
    case Kind::Damaged:
        return make(kind,
                    QStringLiteral("The file \"%1\" is not a Tarrowby Stopwell database, or it is damaged.").arg(file),
                    detail);
    case Kind::DiskFull:
        return make(kind,
                    QStringLiteral("The disk that holds \"%1\" is full: nothing more can be stored until room is made "
                                   "on it.")
                        .arg(file),
                    detail);
    case Kind::Io:
        return make(kind,
                    QStringLiteral("The database file \"%1\" could not be read or written: the disk or the network "
                                   "may have failed.")
                        .arg(file),
                    detail);
    case Kind::Missing:
        return make(kind, QStringLiteral("The database file \"%1\" cannot be found.").arg(file), detail);
    default:
        return make(kind, QStringLiteral("The database \"%1\" refused the operation.").arg(file), detail);
    }
}

StoreError StoreError::fromSqlite(int code, const QString& engineText, const QString& path)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return about(Kind::InUse, path, engineText);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return about(Kind::ReadOnly, path, engineText);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return about(Kind::Damaged, path, engineText);
    case SQLITE_FULL:
        return about(Kind::DiskFull, path, engineText);
    case SQLITE_IOERR:
        return about(Kind::Io, path, engineText);
    default:
        break;
    }
    // A trigger or another program's rule may refuse with a reason of its own.
    if (engineText.contains(QLatin1String("disk is full"), Qt::CaseInsensitive))
        return about(Kind::DiskFull, path, engineText);
    return about(Kind::Other, path, engineText);
}

} // namespace store
