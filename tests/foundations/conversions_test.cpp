#include <brindle/foundations/conversions.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/enums.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/field_types.h>
#include <brindle/foundations/messages.h>

#include <QLocale>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <tuple>

using namespace brindle;

namespace {

// Sets the default locale for one test and puts the C locale back.
struct DefaultLocale {
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::c()); }
};

template <typename Call>
void expectConvertError(Call&& call, const char* message)
{
    try {
        call();
        ADD_FAILURE() << "no exception: " << message;
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

} // namespace

TEST(Conversions, FloatTextAndReaders)
{
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {3.6, "3.6"}, {2, "2"}, {-0.5, "-0.5"}, {0.1, "0.1"}, {0, "0"}, {-0.0, "-0"},
        {1e-5, "0.00001"}, {1e-7, "1E-7"}, {1.5e300, "1.5E+300"}, {1e15, "1E+15"},
        {123456789012345.0, "123456789012345"}, {36526.5, "36526.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XFloatToStr(c.value), c.text);

    const double values[] = {0.1, 1.0 / 3, 1e300, -0.0, 2.0 / 3e-9, DBL_MAX, -DBL_MIN,
                             std::numeric_limits<double>::denorm_min(), 0.30000000000000004};
    for (double v : values) {
        const double back = XStrToFloat(XFloatToStr(v), 42);
        EXPECT_EQ(back, v) << XFloatToStr(v).toStdString();
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    EXPECT_EQ(XFloatToStr(std::nan("")), "NAN");
    EXPECT_EQ(XFloatToStr(-INFINITY), "-INF");

    for (const char* junk : {"", " ", "abc", "1.5x", "1,5", "nan", "NaN", "inf", "-INF", "1e",
                             "1e+", "-", ".", "1e400", "--1", "0x10", "1 2"})
        EXPECT_EQ(XStrToFloat(junk, -7), -7) << junk;
    struct Read { const char* text; double value; };
    const Read floats[] = {{" 2.5 ", 2.5}, {"+1.5e+2", 150}, {".5", 0.5}, {"5.", 5}, {"-3E-1", -0.3}};
    for (const Read& c : floats)
        EXPECT_EQ(XStrToFloat(c.text, -7), c.value) << c.text;

    for (const char* junk : {"", "+", "1.0", "0x10", "$10", "2147483648", "-2147483649",
                             "99999999999999999999", "1e3", "\u0661\u0662"})
        EXPECT_EQ(XStrToInt(QString::fromUtf8(junk), -7), -7) << junk;
    EXPECT_EQ(QList<int>({XStrToInt(" -12\t"), XStrToInt("+3"), XStrToInt("2147483647"), XStrToInt("-2147483648")}),
              QList<int>({-12, 3, 2147483647, std::numeric_limits<int>::min()}));

    // The strict readers raise where the others fall back.
    expectConvertError([] { StrToInt("abc"); }, "'abc' is not a valid integer value");
    expectConvertError([] { StrToFloat("1.2.3"); }, "'1.2.3' is not a valid floating point value");
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
}

TEST(Conversions, LocaleAndCodePages)
{
    const TDateTime noon = EncodeDate(2000, 1, 1) + 0.5;
    EXPECT_EQ(FloatToStr(36526.5) + "|" + BrDateTimeToStr(EncodeDate(2000, 1, 1)), "36526.5|36526");
    EXPECT_THROW(StrToFloat("36526,5"), EConvertError);
    EXPECT_EQ(BrStrToDateTime("36526.5"), noon);
    {
        // No group separators; the X routines ignore the locale.
        DefaultLocale german{QLocale(QLocale::German)};
        EXPECT_EQ(FloatToStr(36526.5) + "|" + FloatToStr(1234567.25) + "|" + XFloatToStr(0.5) + "|" + BrDateTimeToStr(noon),
                  "36526,5|1234567,25|0.5|36526,5");
        EXPECT_TRUE(StrToFloat(" 36526,5 ") == 36526.5 && XStrToFloat("36526.5") == 36526.5);
        for (const char* bad : {"36526.5", "1.000,5", "", ","})
            EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
        EXPECT_EQ(BrStrToDateTime("36526,5"), noon);
        EXPECT_THROW(BrStrToDateTime("36526.5"), EConvertError);
        const FormatSettings fs = GetCurrentFormats();
        EXPECT_EQ(QString(fs.DecimalSeparator) + fs.DateSeparator + fs.TimeSeparator + " " + fs.ShortDateFormat + " "
                      + fs.LongTimeFormat,
                  ",.: dd.mm.yy hh:nn:ss");
    }

    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);

    EXPECT_EQ(FromAnsi("\x80\x9f\x81"), QString::fromUtf8("\u20ac\u0178\u0081"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("\u20ac \u00e9 \u4e2d \U0001F600 \u0080")), "\x80 \xe9 ? ? ?");
    EXPECT_EQ(QStringList({StrToWideByCodePage("\x80", CP_ACP), StrToWideByCodePage("\x80", CP_LATIN1),
                           StrToWideByCodePage("a\xc3\xa9", CP_UTF8), StrToWideByCodePage("a\xc3", CP_ASCII)}),
              QStringList({QString::fromUtf8("\u20ac"), QString(QChar(0x80)), QString::fromUtf8("a\u00e9"), "a?"}));
    expectConvertError([] { StrToWideByCodePage("x", 437); }, "Unsupported code page 437");

    const auto dispose = [](char* p) { StrDispose(p); };
    std::unique_ptr<char, decltype(dispose)> empty(GetStringsAsAnsiChar(TStringList()), dispose);
    EXPECT_EQ(empty.get()[0], '\0');
    std::unique_ptr<char, decltype(dispose)> two(GetStringsAsAnsiChar({QString::fromUtf8("a\u20ac"), "b"}), dispose);
    EXPECT_STREQ(two.get(), "a\x80\nb\n");
    StrDispose(nullptr);
}

TEST(Errors, CodedErrorsAndTranslatedMessages)
{
    const EVxDBStructError e(4, LoadResString(_SDBSENoTable), {"Orders"});
    EXPECT_TRUE(e.ErrorCode() == 4 && e.Message() == "No such table Orders" && e.Message() == e.what());
    EXPECT_EQ(Format("%d%% of %s", {50, "x"}), "50% of x");
    for (const auto& [format, args] : {std::pair<const char*, QVariantList>{"%d", {"abc"}}, {"%s %s", {"one"}},
                                       {"trailing %", {}}})
        EXPECT_THROW(Format(format, args), EConvertError) << format;

    // No message has an identifier below the table's; a translation holds until restored.
    EXPECT_EQ(LoadResString(_SDBListCaption - 1), "");
    SetMessageTranslation({{_SAndConj, "und"}});
    EXPECT_EQ(LoadResString(_SAndConj) + "|" + LoadResString(_SError), "und|Error");
    SetMessageTranslation({});
    EXPECT_EQ(LoadResString(_SAndConj), "and");
}

TEST(DateTime, BoundariesRangesAndFormats)
{
    EXPECT_EQ(QList<double>({EncodeDate(2000, 1, 1), EncodeDate(1899, 12, 30), EncodeDate(1, 1, 1),
                             EncodeDate(9999, 12, 31), EncodeDate(2000, 2, 29)}),
              QList<double>({36526, 0, -693593, 2958465, 36585}));
    const int invalid[][3] = {{2020, 2, 30}, {2100, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2021, 13, 1}, {2021, 0, 1}, {-5, 1, 1}};
    for (const auto& d : invalid)
        expectConvertError([&] { EncodeDate(d[0], d[1], d[2]); }, "Invalid argument to date encode");
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);

    const int dates[][3] = {{1, 1, 1}, {1850, 6, 1}, {1899, 12, 29}, {1899, 12, 31}, {2000, 2, 29}, {9999, 12, 31}};
    for (const auto& d : dates) {
        for (const double time : {0.0, EncodeTime(6, 30, 15, 250), EncodeTime(23, 59, 59, 999)}) {
            const TDateTime value = ComposeDateTime(EncodeDate(d[0], d[1], d[2]), time);
            int y, m, day, h, n, s, ms;
            DecodeDate(value, y, m, day);
            DecodeTime(value, h, n, s, ms);
            EXPECT_EQ(QDate(y, m, day), QDate(d[0], d[1], d[2])) << value;
            EXPECT_EQ(EncodeTime(h, n, s, ms), time) << value;
        }
    }
    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_TRUE(QDate(y, m, d) == QDate(1899, 12, 29) && h == 6);

    // Half a millisecond before midnight rounds into the next day.
    const TDateTime almost = 36526 + (86400000 - 0.4) / 86400000;
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", almost), "2000-01-02 00:00:00.000");

    const QDateTime dt(QDate(1888, 8, 8), QTime(8, 8, 8, 8));
    EXPECT_EQ(ToQDateTime(FromQDateTime(dt)), dt);
    EXPECT_TRUE(FromQDate(QDate(2000, 1, 1)) == 36526
                && FromQDateTime(QDateTime(QDate(2000, 1, 1), QTime(18, 0))) == 36526.75);

    const double bad[] = {std::nan(""), INFINITY, -INFINITY, 1e300, -1e300, 2958466.0, -693594.0,
                          static_cast<double>(std::numeric_limits<long long>::max())};
    for (double v : bad) {
        int y, m, d;
        EXPECT_THROW(DecodeDate(v, y, m, d), EConvertError) << v;
        EXPECT_THROW(FormatDateTime("yyyy", v), EConvertError) << v;
        EXPECT_THROW(ToQDateTime(v), EConvertError) << v;
    }
    EXPECT_THROW(FromQDate(QDate()), EConvertError);
    EXPECT_THROW(FromQDate(QDate(10000, 1, 1)), EConvertError);

    const TDateTime v = EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 8);
    struct Case { const char* format; const char* text; };
    // "mm" after hours is minutes, else the month: the nearest letter before
    // decides; quoted text is literal.
    const Case cases[] = {
        {"yyyy-mm-dd hh:mm:ss", "2021-03-04 05:06:07"}, {"d/m/yy h:n:s.zzz", "4/3/21 5:6:7.008"},
        {"YYYY-MM-DD HH:NN", "2021-03-04 05:06"},       {"hh mm", "05 06"}, {"dd mm", "04 03"},
        {"hh:nn dd/mm", "05:06 04/03"},                 {"'mm' \"dd\" mm", "mm dd 03"},
        {"yyyy-mm-ddThh:nn", "2021-03-04T05:06"},       {"'unclosed", "unclosed"}, {"z", "8"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(c.format, v), c.text) << c.format;
    EXPECT_EQ(FormatDateTime("yyyy/yy", EncodeDate(5, 1, 1)), "0005/05");
}

TEST(DateTime, ParseByFormatRoundTrip)
{
    const TDateTime values[] = {EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 8), EncodeDate(2049, 12, 31),
                                ComposeDateTime(EncodeDate(1850, 6, 1), EncodeTime(12, 0, 0, 0))};
    for (const char* format : {"yyyy-mm-dd hh:mm:ss.zzz", "dd.mm.yyyy h:n:s.z", "yyyymmddhhnnsszzz"}) {
        for (TDateTime v : values) {
            TDateTime back = -1;
            const QString text = FormatDateTime(format, v);
            EXPECT_TRUE(TryStrToDateTimeByFormat(text, format, back) && back == v) << text.toStdString();
        }
    }

    // A refused text leaves the result alone; "abc" is a format with nothing to read.
    struct Case { const char* text; const char* format; bool ok; double value; };
    const Case cases[] = {
        {"2020-02-29", "yyyy-mm-dd", true, 43890}, {" 2020-02-29 ", "yyyy-mm-dd", true, 43890},
        {"49-1-1", "yy-m-d", true, EncodeDate(2049, 1, 1)}, {"50-1-1", "yy-m-d", true, EncodeDate(1950, 1, 1)},
        {"12:00", "hh:nn", true, 0.5}, {"2020-02-30", "yyyy-mm-dd", false, -1}, {"2020-02-29x", "yyyy-mm-dd", false, -1},
        {"2020-02-", "yyyy-mm-dd", false, -1}, {"2020/02/29", "yyyy-mm-dd", false, -1},
        {"0000-01-01", "yyyy-mm-dd", false, -1}, {"24:00", "hh:nn", false, -1}, {"12:60", "hh:mm", false, -1},
        {"", "yyyy", false, -1}, {"abc", "abc", false, -1},
    };
    for (const Case& c : cases) {
        TDateTime result = -1;
        EXPECT_EQ(std::pair(TryStrToDateTimeByFormat(c.text, c.format, result), result), std::pair(c.ok, c.value))
            << c.text;
    }
}
