#include "FieldValue.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace store {

FieldType typeFromDeclared(const QString& declared)
{
    const QString t = declared.trimmed().toUpper();
    if (t.contains(QLatin1String("MEMO")))
        return FieldType::Memo;
    if (t.startsWith(QLatin1String("TEXT")) || t.contains(QLatin1String("CHAR")))
        return FieldType::Text;
    if (t.startsWith(QLatin1String("DATE")))
        return FieldType::Date;
    if (t == QLatin1String("YESNO") || t == QLatin1String("BIT") || t == QLatin1String("BOOLEAN"))
        return FieldType::YesNo;
    if (t == QLatin1String("BYTE"))
        return FieldType::Byte;
    if (t == QLatin1String("INTEGER") || t == QLatin1String("SHORT"))
        return FieldType::Integer;
    if (t == QLatin1String("LONG"))
        return FieldType::Long;
    if (t == QLatin1String("CURRENCY"))
        return FieldType::Currency;
    if (t == QLatin1String("SINGLE"))
        return FieldType::Single;
    if (t == QLatin1String("DOUBLE") || t == QLatin1String("REAL"))
        return FieldType::Double;
    return FieldType::Text;
}

bool isNumeric(FieldType type)
{
    switch (type) {
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
    case FieldType::Currency:
    case FieldType::Single:
    case FieldType::Double:
        return true;
    default:
        return false;
    }
}

bool isNumericText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?\\s*$"));
    return number.match(text).hasMatch();
}

QString shortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString longTimeFormat()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

QDate parseMonthFirstDate(const QString& input)
{
    static const QRegularExpression slashed(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})$"));
    const auto m = slashed.match(input.trimmed());
    if (!m.hasMatch())
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, m.captured(1).toInt(), m.captured(2).toInt());
}

QDate parseDate(const QString& input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return {};
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto m = iso.match(text); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QLocale locale;
    // The user's own order of day and month, with a four-digit or a two-digit year.
    QDate date = locale.toDate(text, shortDateFormat());
    if (!date.isValid()) {
        date = locale.toDate(text, locale.dateFormat(QLocale::ShortFormat));
        if (date.isValid() && date.year() < 1930)
            date = date.addYears(100);
    }
    if (!date.isValid())
        date = locale.toDate(text, QLocale::LongFormat);
    return date;
}

QString toText(FieldType type, const QVariant& stored, Shown shown)
{
    if (!stored.isValid() || stored.isNull())
        return {};
    switch (type) {
    case FieldType::Date: {
        const QDate date = stored.typeId() == QMetaType::QDate ? stored.toDate() : parseDate(stored.toString());
        if (!date.isValid())
            return stored.toString();
        if (shown == Shown::Masked)
            return date.toString(QStringLiteral("MM/dd/yyyy"));
        return QLocale().toString(date, shortDateFormat());
    }
    case FieldType::YesNo:
        return stored.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Single:
    case FieldType::Double:
    case FieldType::Currency: {
        const double value = stored.toDouble();
        return QString::number(value, 'g', 15);
    }
    default:
        return stored.toString();
    }
}

std::optional<QVariant> fromText(FieldType type, const QString& text, Error* error)
{
    auto fail = [&](const QString& why) -> std::optional<QVariant> {
        if (error)
            *error = Error::make(Error::Kind::Refused, why);
        return std::nullopt;
    };
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return QVariant(text);
    case FieldType::Date: {
        if (text.trimmed().isEmpty() || text == QLatin1String("__/__/____"))
            return QVariant();
        const QDate date = parseDate(text);
        if (!date.isValid())
            return fail(QStringLiteral("\"%1\" is not a date.").arg(text));
        return QVariant(date);
    }
    case FieldType::YesNo: {
        const QString t = text.trimmed().toLower();
        if (t.isEmpty())
            return QVariant();
        if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("-1") ||
            t == QLatin1String("1"))
            return QVariant(true);
        if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("0"))
            return QVariant(false);
        return fail(QStringLiteral("\"%1\" is not Yes or No.").arg(text));
    }
    default:
        break;
    }
    // Numbers.
    if (text.trimmed().isEmpty())
        return QVariant();
    if (!isNumericText(text))
        return fail(QStringLiteral("\"%1\" is not a number.").arg(text));
    QString normal = text.trimmed();
    normal.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return fail(QStringLiteral("\"%1\" is not a number.").arg(text));
    if (type == FieldType::Single || type == FieldType::Double || type == FieldType::Currency)
        return QVariant(value);
    // Whole-number fields round half to even, as the classic conversion does.
    const double whole = std::nearbyint(value);
    double low = std::numeric_limits<qint32>::min();
    double high = std::numeric_limits<qint32>::max();
    if (type == FieldType::Byte) {
        low = 0;
        high = 255;
    } else if (type == FieldType::Integer) {
        low = -32768;
        high = 32767;
    }
    if (whole < low || whole > high)
        return fail(QStringLiteral("%1 does not fit this field, which holds whole numbers from %2 to %3.")
                        .arg(text.trimmed(), QString::number(qint64(low)), QString::number(qint64(high))));
    return QVariant(qint64(whole));
}

QVariant fromStored(FieldType type, const QVariant& raw)
{
    if (raw.isNull())
        return {};
    if (type == FieldType::Date) {
        const QDate date = QDate::fromString(raw.toString().left(10), Qt::ISODate);
        return date.isValid() ? QVariant(date) : raw;
    }
    return raw;
}

QVariant toStored(FieldType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QMetaType(QMetaType::QString));
    if (type == FieldType::Date && value.typeId() == QMetaType::QDate)
        return QVariant(value.toDate().toString(Qt::ISODate));
    if (type == FieldType::YesNo)
        return QVariant(value.toBool() ? -1 : 0);
    return value;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    const bool aEmpty = !a.isValid() || a.isNull() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool bEmpty = !b.isValid() || b.isNull() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty;
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate)
        return parseDate(a.toString()) == parseDate(b.toString());
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString() == b.toString();
    return a == b;
}

} // namespace store
