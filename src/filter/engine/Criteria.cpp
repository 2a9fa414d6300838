#include "Criteria.h"

#include "store/FieldValue.h"

#include <QDate>

namespace filter::engine {
namespace {

const QString kTwoBreaks = QStringLiteral("\n\n");

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

struct RangeRule {
    int low;
    int high;
    const char* message;
    const char* title;
};

// Date rows beyond the six comparisons, by operator position.
std::optional<RangeRule> rangeRuleFor(int position)
{
    switch (position) {
    case MonthEquals:
        return RangeRule{1, 12, "You must supply a valid month of the year number (1-12) in the find criteria.",
                         "Bad Month of the Year Number!"};
    case DayEquals:
        return RangeRule{1, 31, "You must supply a valid day of the month number (1-31) in the find criteria.",
                         "Bad Day of the Month Number!"};
    case DayOfYearEquals:
        return RangeRule{1, 366, "You must supply a valid day of the year number (1-366) in the find criteria.",
                         "Bad Day of the Year Number!"};
    case WeekOfYearEquals:
        // Weeks start on Sunday and week 1 holds January 1, so the last days of
        // December fall in week 53, and in week 54 when a leap year starts on a
        // Saturday (2000, 2028): every week a call can be logged in is accepted.
        return RangeRule{1, 54, "You must supply a valid week of the year number (1-54) in the find criteria.",
                         "Bad Week of the Year Number!"};
    default:
        return std::nullopt;
    }
}

CriteriaProblem problem(int row, const char* message, const char* title)
{
    return {row, QString::fromUtf8(message), QString::fromUtf8(title), MessageIcon::Exclamation, true};
}

std::optional<CriteriaProblem> checkDate(int i, FindRow& row)
{
    if (row.operatorIndex <= 5) {
        if (row.criteria.isEmpty() || !criteriaDate(row.criteria).isValid()) {
            CriteriaProblem p = problem(i, "You must supply a valid date in the find criteria based on a date field.",
                                        "Missing or Invalid Date");
            p.message += kTwoBreaks + QStringLiteral("Example Date Format: 12/1/93");
            return p;
        }
        return std::nullopt;
    }
    if (row.operatorIndex == YearEquals) {
        const QDate date = criteriaDate(QStringLiteral("01/01/") + row.criteria);
        if (!date.isValid())
            return problem(i, "You must supply a valid year in the find criteria.", "Bad Year!");
        // The year the check read: "93" is 1993, as in a date typed 1/1/93.
        row.criteria = QString::number(date.year());
        return std::nullopt;
    }
    const auto rule = rangeRuleFor(row.operatorIndex);
    if (!rule)
        return std::nullopt;
    const double value = leadingValue(row.criteria);
    if (!(value >= rule->low && value <= rule->high))
        return problem(i, rule->message, rule->title);
    // Only the number read reaches the statement, never the text after it.
    row.criteria = leadingNumber(row.criteria);
    return std::nullopt;
}

} // namespace

QString NumericPart(const QString& text)
{
    QString result;
    for (const QChar c : text) {
        if (c == QLatin1Char('-')) {
            if (result.isEmpty())
                result = c;
        } else if (c == QLatin1Char('.')) {
            if (!result.contains(QLatin1Char('.')))
                result += c;
        } else if (isDigit(c)) {
            result += c;
        }
    }
    return result.trimmed();
}

QString leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    QString whole;
    QString fraction;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (isBlank(c))
            continue;
        if (isDigit(c))
            (point ? fraction : whole) += c;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            break;
    }
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString result = whole;
    if (!fraction.isEmpty())
        result += QLatin1Char('.') + fraction;
    if (negative && result != QLatin1String("0"))
        result.prepend(QLatin1Char('-'));
    return result;
}

double leadingValue(const QString& text)
{
    return leadingNumber(text).toDouble();
}

QDate criteriaDate(const QString& text)
{
    return store::parseMonthFirstDate(text);
}

std::optional<CriteriaProblem> CheckCriteria(QList<FindRow>& rows)
{
    for (int i = 0; i < rows.size() && i < kFindRows; ++i) {
        FindRow& row = rows[i];
        if (!row.hasField())
            break;
        switch (row.typeCode) {
        case 10:
        case 12:
            if (row.criteria.isEmpty()) {
                row.criteria = QStringLiteral("empty");
                return problem(i, "When finding a text or memo field that equals nothing, use the criteria 'empty'.",
                               "Empty Criteria Field");
            }
            break;
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
            if (NumericPart(row.criteria).isEmpty()) {
                row.criteria.clear();
                return problem(i, "You must supply a valid number when finding based on numeric fields.",
                               "Invalid Numeric Criteria");
            }
            row.criteria = leadingNumber(row.criteria);
            break;
        case 1: {
            const QString word = row.criteria.toLower();
            if (word != QLatin1String("true") && word != QLatin1String("false") && word != QLatin1String("yes") &&
                word != QLatin1String("no")) {
                row.criteria.clear();
                return problem(i,
                               "For checkbox fields and radio buttons, you must supply 'Yes', 'No', 'True', or "
                               "'False' for the criteria.",
                               "Bad Logical Criteria");
            }
            row.criteria = row.criteria.toUpper();
            break;
        }
        case 8:
            if (auto p = checkDate(i, row))
                return p;
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

} // namespace filter::engine
