#pragma once
// Date-time values as the persistent formats and the query values store them:
// a double counting days since 30 December 1899 (midnight of 1 January 2000
// is 36526), with the fraction as the time of day.
//
// For values before that day the fraction still counts forward from
// midnight: the integral part names the day and the absolute value of the
// fraction gives the time, so -1.25 is 29 December 1899 06:00 (not 18:00 on
// the 28th). Decoding rounds to the nearest millisecond; a time that rounds
// up to 24:00 moves to the next day.
//
// Valid values lie in the years 1 to 9999. Decoding or formatting anything
// else, NaN and infinities included, raises EConvertError. Conversions to
// and from QDateTime treat both sides as naive local time: nothing is
// shifted between time zones.
//
// Pattern letters, shared by FormatDateTime and TryStrToDateTimeByFormat,
// letter case ignored:
//   yyyy  4-digit year          yy (or y)  2-digit year
//   mm    2-digit month         m   month without leading zero
//   dd    2-digit day           d   day without leading zero
//   hh    2-digit hour (0-23)   h   hour without leading zero
//   nn    2-digit minute        n   minute without leading zero
//   ss    2-digit second        s   second without leading zero
//   zzz   3-digit millisecond   z   millisecond without leading zeros
// mm and m mean minutes when the pattern letter before them (literal text
// in between does not count) is hh or h, as in "hh:mm". Text in double or
// single quotes is copied literally without its quotes (an unclosed quote
// runs to the end); every other character is copied as it is.

#include <brindle/brindle_core_export.h>

#include <QDate>
#include <QDateTime>
#include <QString>

namespace brindle {

using TDateTime = double;

// Raises EConvertError ("Invalid argument to date encode") for a date that
// does not exist or lies outside the years 1 to 9999.
BRINDLE_CORE_EXPORT TDateTime EncodeDate(int year, int month, int day);
BRINDLE_CORE_EXPORT bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// The fraction of a day; raises EConvertError ("Invalid argument to time
// encode") unless 0 <= h < 24, 0 <= n < 60, 0 <= s < 60, 0 <= ms < 1000.
BRINDLE_CORE_EXPORT TDateTime EncodeTime(int h, int n, int s, int ms);
BRINDLE_CORE_EXPORT bool TryEncodeTime(int h, int n, int s, int ms, TDateTime& result);
// A date from EncodeDate plus a time of day from EncodeTime, following the
// rule for days before 30 December 1899.
BRINDLE_CORE_EXPORT TDateTime ComposeDateTime(TDateTime date, TDateTime time);

BRINDLE_CORE_EXPORT void DecodeDate(TDateTime value, int& year, int& month, int& day);
BRINDLE_CORE_EXPORT void DecodeTime(TDateTime value, int& h, int& n, int& s, int& ms);

BRINDLE_CORE_EXPORT QDateTime ToQDateTime(TDateTime value);
// Raises EConvertError when the date is invalid or outside the years 1 to
// 9999; an invalid time counts as midnight.
BRINDLE_CORE_EXPORT TDateTime FromQDateTime(const QDateTime& value);
BRINDLE_CORE_EXPORT TDateTime FromQDate(const QDate& value);

BRINDLE_CORE_EXPORT QString FormatDateTime(const QString& format, TDateTime value);

// Reads text laid out by format: each number reads from one digit up to its
// width (yyyy 4, zzz and z 3, the others 2), literal text must match
// (letter case ignored), blanks around the text are ignored. yy reads as
// 2000 + yy below 50, else 1900 + yy. Without date letters the result is a
// time of day 0; date parts the format lacks are the first day, the first
// month and the current year. False, leaving result alone, on any mismatch,
// text left over, an impossible date or time, or a format with no letters.
BRINDLE_CORE_EXPORT bool TryStrToDateTimeByFormat(const QString& text, const QString& format,
                                                  TDateTime& result);

// The value as FloatToStr writes it: the locale's decimal separator.
BRINDLE_CORE_EXPORT QString BrDateTimeToStr(TDateTime value);
// The reverse, by StrToFloat: raises EConvertError on malformed text.
BRINDLE_CORE_EXPORT TDateTime BrStrToDateTime(const QString& text);

} // namespace brindle
