#include <brindle/foundations/date_time.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/text_utils.h>

#include <QTime>

#include <cmath>
#include <vector>

namespace brindle {
namespace {

constexpr qint64 kJulianDayOfZero = 2415019; // 30 December 1899
constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kFirstDay = -693593; // 1 January 0001
constexpr qint64 kLastDay = 2958465;  // 31 December 9999

struct Parts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
};

bool decodeParts(TDateTime value, Parts& parts)
{
    // Also false for NaN; keeps the casts below in range.
    if (!(value > kFirstDay - 1.0 && value < kLastDay + 1.0))
        return false;
    const double whole = std::trunc(value);
    qint64 day = static_cast<qint64>(whole);
    qint64 ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++day;
    }
    if (day < kFirstDay || day > kLastDay)
        return false;
    QDate::fromJulianDay(kJulianDayOfZero + day).getDate(&parts.year, &parts.month, &parts.day);
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.msec = static_cast<int>(ms % 1000);
    return true;
}

Parts decodeOrRaise(TDateTime value)
{
    Parts parts;
    if (!decodeParts(value, parts))
        throw EConvertError(QStringLiteral("Date-time value %s is out of range"), {XFloatToStr(value)});
    return parts;
}

enum class Field { Literal, Year4, Year2, Month, Month2, Day, Day2, Hour, Hour2, Minute, Minute2,
                   Second, Second2, Msec, Msec3 };

struct PatternItem {
    Field field;
    QString literal;
};

bool isHour(Field f)
{
    return f == Field::Hour || f == Field::Hour2;
}

std::vector<PatternItem> parsePattern(const QString& format)
{
    std::vector<PatternItem> items;
    Field lastField = Field::Literal;
    const auto addLiteral = [&items](QStringView text) {
        if (text.isEmpty())
            return;
        if (items.empty() || items.back().field != Field::Literal)
            items.push_back({Field::Literal, QString()});
        items.back().literal += text;
    };
    const auto addField = [&items, &lastField](Field f) {
        items.push_back({f, QString()});
        lastField = f;
    };

    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format.at(i);
        if (c == u'"' || c == u'\'') {
            qsizetype close = format.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            addLiteral(QStringView(format).mid(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        const QChar lower = c.toLower();
        qsizetype run = 1;
        while (i + run < n && format.at(i + run).toLower() == lower)
            ++run;
        const qsizetype two = run >= 2 ? 2 : 1;
        switch (lower.unicode()) {
        case u'y':
            if (run >= 3) {
                addField(Field::Year4);
                i += run >= 4 ? 4 : 3;
            } else {
                addField(Field::Year2);
                i += run;
            }
            break;
        case u'm':
            if (isHour(lastField))
                addField(two == 2 ? Field::Minute2 : Field::Minute);
            else
                addField(two == 2 ? Field::Month2 : Field::Month);
            i += two;
            break;
        case u'd':
            addField(two == 2 ? Field::Day2 : Field::Day);
            i += two;
            break;
        case u'h':
            addField(two == 2 ? Field::Hour2 : Field::Hour);
            i += two;
            break;
        case u'n':
            addField(two == 2 ? Field::Minute2 : Field::Minute);
            i += two;
            break;
        case u's':
            addField(two == 2 ? Field::Second2 : Field::Second);
            i += two;
            break;
        case u'z':
            if (run >= 3) {
                addField(Field::Msec3);
                i += 3;
            } else {
                addField(Field::Msec);
                i += 1;
            }
            break;
        default:
            addLiteral(QStringView(format).mid(i, 1));
            ++i;
        }
    }
    return items;
}

QString padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

int maxDigits(Field f)
{
    switch (f) {
    case Field::Year4:
        return 4;
    case Field::Msec:
    case Field::Msec3:
        return 3;
    default:
        return 2;
    }
}

} // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    result = static_cast<double>(QDate(year, month, day).toJulianDay() - kJulianDayOfZero);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return result;
}

bool TryEncodeTime(int h, int n, int s, int ms, TDateTime& result)
{
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999)
        return false;
    const qint64 total = ((h * 60LL + n) * 60 + s) * 1000 + ms;
    result = static_cast<double>(total) / kMsPerDay;
    return true;
}

TDateTime EncodeTime(int h, int n, int s, int ms)
{
    TDateTime result = 0;
    if (!TryEncodeTime(h, n, s, ms, result))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return result;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time)
{
    return date < 0 ? date - time : date + time;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    const Parts p = decodeOrRaise(value);
    year = p.year;
    month = p.month;
    day = p.day;
}

void DecodeTime(TDateTime value, int& h, int& n, int& s, int& ms)
{
    const Parts p = decodeOrRaise(value);
    h = p.hour;
    n = p.minute;
    s = p.second;
    ms = p.msec;
}

QDateTime ToQDateTime(TDateTime value)
{
    const Parts p = decodeOrRaise(value);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.msec));
}

TDateTime FromQDateTime(const QDateTime& value)
{
    const TDateTime date = FromQDate(value.date());
    const QTime time = value.time();
    if (!time.isValid())
        return date;
    return ComposeDateTime(date, EncodeTime(time.hour(), time.minute(), time.second(), time.msec()));
}

TDateTime FromQDate(const QDate& value)
{
    if (!value.isValid())
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return EncodeDate(value.year(), value.month(), value.day());
}

QString FormatDateTime(const QString& format, TDateTime value)
{
    const Parts p = decodeOrRaise(value);
    QString out;
    for (const PatternItem& item : parsePattern(format)) {
        switch (item.field) {
        case Field::Literal: out += item.literal; break;
        case Field::Year4: out += padded(p.year, 4); break;
        case Field::Year2: out += padded(p.year % 100, 2); break;
        case Field::Month: out += QString::number(p.month); break;
        case Field::Month2: out += padded(p.month, 2); break;
        case Field::Day: out += QString::number(p.day); break;
        case Field::Day2: out += padded(p.day, 2); break;
        case Field::Hour: out += QString::number(p.hour); break;
        case Field::Hour2: out += padded(p.hour, 2); break;
        case Field::Minute: out += QString::number(p.minute); break;
        case Field::Minute2: out += padded(p.minute, 2); break;
        case Field::Second: out += QString::number(p.second); break;
        case Field::Second2: out += padded(p.second, 2); break;
        case Field::Msec: out += QString::number(p.msec); break;
        case Field::Msec3: out += padded(p.msec, 3); break;
        }
    }
    return out;
}

bool TryStrToDateTimeByFormat(const QString& text, const QString& format, TDateTime& result)
{
    const std::vector<PatternItem> items = parsePattern(format);
    const QString t = TrimBlanks(text);
    const qsizetype n = t.size();
    qsizetype pos = 0;
    bool anyField = false;
    bool hasDate = false;
    Parts p;
    p.year = QDate::currentDate().year();
    p.month = 1;
    p.day = 1;

    for (const PatternItem& item : items) {
        if (item.field == Field::Literal) {
            for (QChar c : item.literal) {
                if (pos >= n || t.at(pos).toLower() != c.toLower())
                    return false;
                ++pos;
            }
            continue;
        }
        int value = 0;
        int digits = 0;
        const int width = maxDigits(item.field);
        while (digits < width && pos < n && t.at(pos) >= u'0' && t.at(pos) <= u'9') {
            value = value * 10 + (t.at(pos).unicode() - u'0');
            ++digits;
            ++pos;
        }
        if (digits == 0)
            return false;
        anyField = true;
        switch (item.field) {
        case Field::Year4: p.year = value; hasDate = true; break;
        case Field::Year2: p.year = value < 50 ? 2000 + value : 1900 + value; hasDate = true; break;
        case Field::Month:
        case Field::Month2: p.month = value; hasDate = true; break;
        case Field::Day:
        case Field::Day2: p.day = value; hasDate = true; break;
        case Field::Hour:
        case Field::Hour2: p.hour = value; break;
        case Field::Minute:
        case Field::Minute2: p.minute = value; break;
        case Field::Second:
        case Field::Second2: p.second = value; break;
        case Field::Msec:
        case Field::Msec3: p.msec = value; break;
        case Field::Literal: break;
        }
    }
    if (!anyField || pos != n)
        return false;
    TDateTime date = 0;
    TDateTime time = 0;
    if (hasDate && !TryEncodeDate(p.year, p.month, p.day, date))
        return false;
    if (!TryEncodeTime(p.hour, p.minute, p.second, p.msec, time))
        return false;
    result = ComposeDateTime(date, time);
    return true;
}

QString BrDateTimeToStr(TDateTime value)
{
    return FloatToStr(value);
}

TDateTime BrStrToDateTime(const QString& text)
{
    return StrToFloat(text);
}

} // namespace brindle
