#include <brindle/foundations/conversions.h>

#include <brindle/foundations/errors.h>
#include <brindle/foundations/text_utils.h>

#include <QLocale>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace brindle {
namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads [sign] digits with an optional sep and fraction and an optional
// exponent; at least one digit before the exponent. Blanks around are allowed.
bool parseFloat(const QString& text, QChar sep, double& result)
{
    const QString t = TrimBlanks(text);
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(t.size()));
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t.at(i) == u'+' || t.at(i) == u'-')) {
        if (t.at(i) == u'-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < n && isAsciiDigit(t.at(i)); ++i, ++mantissaDigits)
        ascii += static_cast<char>(t.at(i).unicode());
    if (i < n && t.at(i) == sep) {
        ascii += '.';
        for (++i; i < n && isAsciiDigit(t.at(i)); ++i, ++mantissaDigits)
            ascii += static_cast<char>(t.at(i).unicode());
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (t.at(i) == u'e' || t.at(i) == u'E')) {
        ascii += 'e';
        ++i;
        if (i < n && (t.at(i) == u'+' || t.at(i) == u'-'))
            ascii += static_cast<char>(t.at(i++).unicode());
        int exponentDigits = 0;
        for (; i < n && isAsciiDigit(t.at(i)); ++i, ++exponentDigits)
            ascii += static_cast<char>(t.at(i).unicode());
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    double value = 0;
    const char* end = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(ascii.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return false;
    result = value;
    return true;
}

// The text without the blanks around it, as TrimBlanks gives it.
QStringView trimmedBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsSpace(text[first]))
        ++first;
    while (last > first && IsSpace(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

bool parseInt(QStringView text, int& result)
{
    const QStringView t = trimmedBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-')) {
        negative = t.at(i) == u'-';
        ++i;
    }
    if (i == t.size())
        return false;
    // Accumulate as a negative number: its range holds INT_MIN.
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (!isAsciiDigit(t.at(i)))
            return false;
        value = value * 10 - (t.at(i).unicode() - u'0');
        if (value < INT_MIN)
            return false;
    }
    if (!negative) {
        value = -value;
        if (value > INT_MAX)
            return false;
    }
    result = static_cast<int>(value);
    return true;
}

// The default locale's decimal separator as a single character.
QChar localeDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point.at(0) : QChar(u'.');
}

// Shortest round-trip digits, laid out as described at XFloatToStr.
QString formatFloat(double value, QChar sep)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    QString digits;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits += QLatin1Char(*p);
    int exponent = 0;
    if (p < res.ptr) {
        ++p; // 'e'
        if (*p == '+')
            ++p;
        std::from_chars(p, res.ptr, exponent);
    }

    QString out;
    if (negative)
        out += u'-';
    const qsizetype count = digits.size();
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            const qsizetype intDigits = exponent + 1;
            if (count <= intDigits) {
                out += digits;
                out += QString(intDigits - count, u'0');
            } else {
                out += QStringView(digits).left(intDigits);
                out += sep;
                out += QStringView(digits).mid(intDigits);
            }
        } else {
            out += u'0';
            out += sep;
            out += QString(-exponent - 1, u'0');
            out += digits;
        }
    } else {
        out += digits.at(0);
        if (count > 1) {
            out += sep;
            out += QStringView(digits).mid(1);
        }
        out += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        out += QString::number(std::abs(exponent));
    }
    return out;
}

// cp1252 bytes 0x80..0x9F; 0 marks the unassigned bytes, which map to the
// C1 control character of the same value.
const char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t cp1252ToUnicode(unsigned char b)
{
    if (b < 0x80 || b > 0x9F)
        return b;
    const char16_t u = kCp1252High[b - 0x80];
    return u != 0 ? u : b;
}

// The cp1252 byte of a BMP character, or '?' when it has none.
char unicodeToCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    if (u >= 0x80 && u <= 0x9F)
        return kCp1252High[u - 0x80] == 0 ? static_cast<char>(u) : '?';
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

// Writes a literal run of a date pattern so that FormatDateTime copies it.
void appendPatternLiteral(QString& out, const QString& literal)
{
    if (literal.isEmpty())
        return;
    if (!literal.contains(u'"')) {
        out += u'"' + literal + u'"';
    } else if (!literal.contains(u'\'')) {
        out += u'\'' + literal + u'\'';
    } else {
        for (QChar c : literal)
            out += c == u'"' ? QStringLiteral("'\"'") : u'"' + QString(c) + u'"';
    }
}

bool isLibraryPatternLetter(QChar c)
{
    return QStringLiteral("ymdhnsz").contains(c.toLower());
}

// Translates a QLocale date or time pattern into the library's letters.
QString translateLocalePattern(const QString& pattern)
{
    QString out;
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            // Quoted text; '' stands for one quote, inside quotes or out.
            QString literal;
            ++i;
            if (i < n && pattern.at(i) == u'\'') {
                literal += u'\'';
                ++i;
            } else {
                while (i < n) {
                    if (pattern.at(i) == u'\'') {
                        if (i + 1 < n && pattern.at(i + 1) == u'\'') {
                            literal += u'\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    literal += pattern.at(i++);
                }
            }
            appendPatternLiteral(out, literal);
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && pattern.at(i + run) == c)
            ++run;
        i += run;
        switch (c.unicode()) {
        case u'd':
            out += run == 1 ? QStringLiteral("d") : QStringLiteral("dd");
            break;
        case u'M':
            out += run == 1 ? QStringLiteral("m") : QStringLiteral("mm");
            break;
        case u'y':
            out += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case u'h':
        case u'H':
            out += run == 1 ? QStringLiteral("h") : QStringLiteral("hh");
            break;
        case u'm':
            out += run == 1 ? QStringLiteral("n") : QStringLiteral("nn");
            break;
        case u's':
            out += run == 1 ? QStringLiteral("s") : QStringLiteral("ss");
            break;
        case u'z':
            out += run == 1 ? QStringLiteral("z") : QStringLiteral("zzz");
            break;
        case u'A':
        case u'a':
        case u'P':
        case u'p':
        case u't':
            break; // AM/PM and time zone: the library's patterns have neither
        default:
            if (isLibraryPatternLetter(c) || c == u'"')
                appendPatternLiteral(out, QString(run, c));
            else
                out += QString(run, c);
        }
    }
    return TrimBlanks(out);
}

// The first character of a locale pattern that is neither a letter, a quote
// nor a blank; def when there is none.
QChar patternSeparator(const QString& pattern, QChar def)
{
    for (QChar c : pattern)
        if (!c.isLetter() && c != u'\'' && !IsSpace(c))
            return c;
    return pattern.contains(u' ') ? QChar(u' ') : def;
}

} // namespace

int XStrToInt(const QString& text, int def)
{
    return XStrToInt(QStringView(text), def);
}

int XStrToInt(QStringView text, int def)
{
    int value = 0;
    return parseInt(text, value) ? value : def;
}

double XStrToFloat(const QString& text, double def)
{
    double value = 0;
    return parseFloat(text, u'.', value) ? value : def;
}

bool XStrToBool(const QString& text, bool def)
{
    return XStrToBool(QStringView(text), def);
}

bool XStrToBool(QStringView text, bool def)
{
    const QStringView t = trimmedBlanks(text);
    // The flags the formats write.
    if (t.size() == 1)
        return t[0] == u'1' ? true : t[0] == u'0' ? false : def;
    for (const char* yes : {"1", "true", "yes"})
        if (t.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            return true;
    for (const char* no : {"0", "false", "no"})
        if (t.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
            return false;
    return def;
}

bool NStrToBool(const QString& text)
{
    return XStrToInt(text) != 0;
}

QString BoolToStr(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString XFloatToStr(double value)
{
    return formatFloat(value, u'.');
}

QString XCurrToStr(double value)
{
    if (!std::isfinite(value))
        return XFloatToStr(value);
    // Room for the 309 integer digits of the largest double, sign, point and 4 decimals.
    char buf[330];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 4);
    const char* end = res.ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    QString out = QString::fromLatin1(buf, end - buf);
    return out == u"-0" ? QStringLiteral("0") : out;
}

int StrToInt(const QString& text)
{
    return StrToInt(QStringView(text));
}

int StrToInt(QStringView text)
{
    int value = 0;
    if (!parseInt(text, value))
        throw EConvertError(QStringLiteral("'%s' is not a valid integer value"), {text.toString()});
    return value;
}

double StrToFloat(const QString& text)
{
    double value = 0;
    if (!parseFloat(text, localeDecimalSeparator(), value))
        throw EConvertError(QStringLiteral("'%s' is not a valid floating point value"), {text});
    return value;
}

QString FloatToStr(double value)
{
    return formatFloat(value, localeDecimalSeparator());
}

int MinInt(int a, int b)
{
    return a < b ? a : b;
}

FormatSettings GetCurrentFormats()
{
    const QLocale locale;
    const QString datePattern = locale.dateFormat(QLocale::ShortFormat);
    const QString timePattern = locale.timeFormat(QLocale::LongFormat);
    FormatSettings fs;
    fs.DecimalSeparator = localeDecimalSeparator();
    fs.DateSeparator = patternSeparator(datePattern, u'/');
    fs.TimeSeparator = patternSeparator(timePattern, u':');
    fs.ShortDateFormat = translateLocalePattern(datePattern);
    fs.LongTimeFormat = translateLocalePattern(timePattern);
    return fs;
}

QByteArray ToAnsi(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += '?'; // one character beyond the BMP, one replacement
            ++i;
        } else {
            out += unicodeToCp1252(c.unicode());
        }
    }
    return out;
}

QString FromAnsi(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out += QChar(cp1252ToUnicode(static_cast<unsigned char>(b)));
    return out;
}

QString StrToWideByCodePage(const QByteArray& text, int codePage)
{
    switch (codePage) {
    case CP_ACP:
    case CP_WINDOWS1252:
        return FromAnsi(text);
    case CP_LATIN1:
        return QString::fromLatin1(text);
    case CP_UTF8:
        return QString::fromUtf8(text);
    case CP_ASCII: {
        QString out;
        out.reserve(text.size());
        for (char b : text)
            out += static_cast<unsigned char>(b) > 127 ? QChar(u'?') : QChar(static_cast<char16_t>(b));
        return out;
    }
    default:
        throw EConvertError(QStringLiteral("Unsupported code page %d"), {codePage});
    }
}

TStringList StringsFromAnsiChar(const char* text)
{
    TStringList lines;
    if (text)
        lines.SetText(FromAnsi(QByteArray(text)));
    return lines;
}

char* GetStringsAsAnsiChar(const TStringList& list)
{
    const QByteArray bytes = ToAnsi(list.Text());
    char* buffer = new char[static_cast<std::size_t>(bytes.size()) + 1];
    std::memcpy(buffer, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    buffer[bytes.size()] = '\0';
    return buffer;
}

void StrDispose(char* buffer)
{
    delete[] buffer;
}

} // namespace brindle
