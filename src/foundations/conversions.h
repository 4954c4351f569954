#pragma once
// Conversions between texts and numbers, and between Unicode and 8-bit text.
//
// The X... routines ignore the user's locale: numbers are read and written
// with the point as decimal separator, so the persistent formats read back
// the same on every machine. StrToInt, StrToFloat and FloatToStr follow the
// default QLocale(), but only in the decimal separator: digits are ASCII,
// the minus sign is "-" and group separators are neither written nor read.
//
// The library's "system ANSI code page" is Windows-1252 on every platform:
// ToAnsi/FromAnsi and code page 0 mean cp1252, whatever the host's encoding.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/string_list.h>

#include <QByteArray>
#include <QChar>
#include <QString>

namespace brindle {

// A decimal integer with an optional sign, blanks around it allowed; def
// for anything else, including a value outside int.
BRINDLE_CORE_EXPORT int XStrToInt(const QString& text, int def = 0);
// The same over a part of a text, which readers need not copy.
BRINDLE_CORE_EXPORT int XStrToInt(QStringView text, int def = 0);
// A number with the point as decimal separator and an optional exponent,
// blanks around it allowed; def for anything else, including texts such as
// "nan" or "inf" and values outside double.
BRINDLE_CORE_EXPORT double XStrToFloat(const QString& text, double def = 0);
// "1", "true", "yes" give true; "0", "false", "no" give false (case ignored,
// blanks around allowed); def otherwise.
BRINDLE_CORE_EXPORT bool XStrToBool(const QString& text, bool def = false);
BRINDLE_CORE_EXPORT bool XStrToBool(QStringView text, bool def = false);
// XStrToInt(text) != 0.
BRINDLE_CORE_EXPORT bool NStrToBool(const QString& text);
// "1" or "0".
BRINDLE_CORE_EXPORT QString BoolToStr(bool value);

// The shortest text that XStrToFloat reads back as the same double (the
// sign of zero included), with the point. Values from 1E-5 up to but not
// including 1E15 are written without an exponent, others as "1.5E+300" or
// "1E-7". NaN and infinities give "NAN", "INF" and "-INF", which no reader
// accepts.
BRINDLE_CORE_EXPORT QString XFloatToStr(double value);
// A currency amount: rounded to 4 decimals, the point, no trailing zeros
// ("12.5", "3"). Non-finite values are written as XFloatToStr writes them.
BRINDLE_CORE_EXPORT QString XCurrToStr(double value);

// A decimal integer as XStrToInt reads it; raises EConvertError
// ("'abc' is not a valid integer value") for anything else.
BRINDLE_CORE_EXPORT int StrToInt(const QString& text);
BRINDLE_CORE_EXPORT int StrToInt(QStringView text);
// A number with QLocale()'s decimal separator (the point is not accepted in
// its place), optional exponent; raises EConvertError
// ("'x' is not a valid floating point value") for anything else.
BRINDLE_CORE_EXPORT double StrToFloat(const QString& text);
// XFloatToStr's text with QLocale()'s decimal separator.
BRINDLE_CORE_EXPORT QString FloatToStr(double value);

BRINDLE_CORE_EXPORT int MinInt(int a, int b);

// The user's number and date formats, with the date and time patterns in
// this library's pattern letters (see FormatDateTime). The library's
// patterns have no names of months or days and no AM/PM: names become
// numbers and times are 24-hour.
struct FormatSettings {
    QChar DecimalSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QString ShortDateFormat;
    QString LongTimeFormat;
};

// The formats of the default QLocale().
BRINDLE_CORE_EXPORT FormatSettings GetCurrentFormats();

// Unicode to cp1252; a character cp1252 cannot hold becomes "?". The five
// bytes cp1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
// U+0081 and so on, both ways, so every byte survives a round trip.
BRINDLE_CORE_EXPORT QByteArray ToAnsi(const QString& text);
// cp1252 to Unicode.
BRINDLE_CORE_EXPORT QString FromAnsi(const QByteArray& bytes);

// Code pages known to StrToWideByCodePage.
inline constexpr int CP_ACP = 0;        // the ANSI code page, cp1252 here
inline constexpr int CP_WINDOWS1252 = 1252;
inline constexpr int CP_LATIN1 = 28591;
inline constexpr int CP_ASCII = 20127; // bytes above 127 become "?"
inline constexpr int CP_UTF8 = 65001;

// 8-bit text in the given code page to Unicode; raises EConvertError
// ("Unsupported code page %d") for a code page not listed above.
BRINDLE_CORE_EXPORT QString StrToWideByCodePage(const QByteArray& text, int codePage);

// A zero-terminated cp1252 copy of list.Text(), allocated with new[]; the
// caller frees it with StrDispose. An empty list gives just the zero.
BRINDLE_CORE_EXPORT char* GetStringsAsAnsiChar(const TStringList& list);
// The lines of a zero-terminated cp1252 text (none for a null pointer): the
// inverse of GetStringsAsAnsiChar.
BRINDLE_CORE_EXPORT TStringList StringsFromAnsiChar(const char* text);
// Frees a buffer from GetStringsAsAnsiChar; null is allowed.
BRINDLE_CORE_EXPORT void StrDispose(char* buffer);

} // namespace brindle
