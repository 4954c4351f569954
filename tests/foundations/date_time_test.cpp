#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace brindle;

TEST(DateTime, EncodeDateBoundaries)
{
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);

    const int invalid[][3] = {{2020, 2, 30}, {2100, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2021, 13, 1}, {2021, 0, 1}, {-5, 1, 1}};
    for (const auto& d : invalid) {
        try {
            EncodeDate(d[0], d[1], d[2]);
            FAIL() << d[0] << "-" << d[1] << "-" << d[2];
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
}

TEST(DateTime, DecodeRoundTripAndNegativeDays)
{
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
    EXPECT_EQ(QDate(y, m, d), QDate(1899, 12, 29));
    EXPECT_EQ(h, 6);

    // Half a millisecond before midnight rounds into the next day.
    const TDateTime almost = 36526 + (86400000 - 0.4) / 86400000;
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", almost), "2000-01-02 00:00:00.000");
}

TEST(DateTime, QDateTimeConversionsAndRange)
{
    const QDateTime dt(QDate(1888, 8, 8), QTime(8, 8, 8, 8));
    EXPECT_EQ(ToQDateTime(FromQDateTime(dt)), dt);
    EXPECT_EQ(FromQDate(QDate(2000, 1, 1)), 36526);
    EXPECT_EQ(FromQDateTime(QDateTime(QDate(2000, 1, 1), QTime(18, 0))), 36526.75);

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
}

TEST(DateTime, FormatPatterns)
{
    const TDateTime v = EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 8);
    struct Case { const char* format; const char* text; };
    const Case cases[] = {
        {"yyyy-mm-dd hh:mm:ss", "2021-03-04 05:06:07"},
        {"d/m/yy h:n:s.zzz", "4/3/21 5:6:7.008"},
        {"YYYY-MM-DD HH:NN", "2021-03-04 05:06"},
        {"hh mm", "05 06"},               // minutes after hours, separator between
        {"dd mm", "04 03"},               // month otherwise
        {"hh:nn dd/mm", "05:06 04/03"},   // the nearest letter before decides
        {"'mm' \"dd\" mm", "mm dd 03"},   // quoted text is literal
        {"yyyy-mm-ddThh:nn", "2021-03-04T05:06"},
        {"'unclosed", "unclosed"},
        {"z", "8"},
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
            ASSERT_TRUE(TryStrToDateTimeByFormat(text, format, back)) << text.toStdString();
            EXPECT_EQ(back, v) << text.toStdString();
        }
    }

    struct Case { const char* text; const char* format; bool ok; double value; };
    const Case cases[] = {
        {"2020-02-29", "yyyy-mm-dd", true, 43890},
        {" 2020-02-29 ", "yyyy-mm-dd", true, 43890},
        {"49-1-1", "yy-m-d", true, EncodeDate(2049, 1, 1)},
        {"50-1-1", "yy-m-d", true, EncodeDate(1950, 1, 1)},
        {"12:00", "hh:nn", true, 0.5},
        {"2020-02-30", "yyyy-mm-dd", false, 0},
        {"2020-02-29x", "yyyy-mm-dd", false, 0},
        {"2020-02-", "yyyy-mm-dd", false, 0},
        {"2020/02/29", "yyyy-mm-dd", false, 0},
        {"0000-01-01", "yyyy-mm-dd", false, 0},
        {"24:00", "hh:nn", false, 0},
        {"12:60", "hh:mm", false, 0},
        {"", "yyyy", false, 0},
        {"abc", "abc", false, 0}, // a format with nothing to read
    };
    for (const Case& c : cases) {
        TDateTime result = -1;
        EXPECT_EQ(TryStrToDateTimeByFormat(c.text, c.format, result), c.ok) << c.text;
        EXPECT_EQ(result, c.ok ? c.value : -1) << c.text;
    }
}
