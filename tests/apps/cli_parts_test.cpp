// The tool's parts without a process: flag parsing, the statement settings
// by name, and the two row layouts.

#include "options.h"
#include "result_output.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::cli;

namespace {

const std::vector<FlagInfo> kFlagInfo = {{"--model", "FILE", ""}, {"--xml", nullptr, ""}};

TEST(Flags, ValuesSwitchesAndMistakes)
{
    const Flags flags({"--model", "-", "--xml"}, kFlagInfo);
    EXPECT_EQ(flags.Value("--model"), "-");
    EXPECT_TRUE(flags.Has("--xml"));
    EXPECT_EQ(Flags({"--model="}, kFlagInfo).Value("--model", "unset"), "");
    EXPECT_EQ(Flags({"--model=a=b"}, kFlagInfo).Value("--model"), "a=b");

    const struct {
        QStringList args;
        const char* message;
    } wrong[] = {
        {{"--model"}, "--model needs a value (FILE)"},
        {{"--model", "a", "--model", "b"}, "--model is given twice"},
        {{"--xml=1"}, "--xml takes no value"},
        {{"--models", "a"}, "unknown option --models"},
        {{"-m", "a"}, "unexpected argument \"-m\""},
        {{"--"}, "unexpected argument \"--\""},
        {{"model.dbs"}, "unexpected argument \"model.dbs\""},
    };
    for (const auto& w : wrong) {
        try {
            Flags(w.args, kFlagInfo);
            ADD_FAILURE() << w.args.join(u' ').toStdString() << " was accepted";
        } catch (const UsageError& e) {
            EXPECT_EQ(e.message.toStdString(), w.message);
        }
    }
}

TEST(Flags, SyntaxAndOptionNames)
{
    EXPECT_EQ(ParseSyntax("sql1"), ssSQL1);
    EXPECT_EQ(ParseSyntax("NexusDB"), ssNexusDB);
    EXPECT_EQ(ParseSyntax("access"), ssAccess);
    EXPECT_THROW(ParseSyntax("ssSQL1"), UsageError);
    EXPECT_THROW(ParseSyntax(""), UsageError);

    EXPECT_EQ(ParseSQLOptions(""), TSQLOptions{});
    EXPECT_EQ(ParseSQLOptions(" "), TSQLOptions{});
    EXPECT_EQ(ParseSQLOptions("soQuoteAliases, sosortbynames"), (TSQLOptions{soQuoteAliases, soSortByNames}));
    EXPECT_THROW(ParseSQLOptions("soQuoteAliases,"), UsageError);
    EXPECT_THROW(ParseSQLOptions("QuoteAliases"), UsageError);
}

TEST(RowOutput, ValuesAsText)
{
    EXPECT_EQ(CellText(QVariant()), "");
    EXPECT_EQ(CellText(QVariant(QMetaType(QMetaType::Int))), "");
    EXPECT_EQ(CellText(0.1 + 0.2), "0.3");
    EXPECT_EQ(CellText(1073.675), "1073.675");
    EXPECT_EQ(CellText(2.0), "2");
    EXPECT_EQ(CellText(qlonglong(9007199254740993)), "9007199254740993");
    EXPECT_EQ(CellText(QDate(2024, 2, 29)), "2024-02-29");
    EXPECT_EQ(CellText(QTime(7, 5, 3)), "07:05:03");
    EXPECT_EQ(CellText(QDateTime(QDate(2023, 1, 13), QTime(8, 53, 17))), "2023-01-13 08:53:17");
    EXPECT_EQ(CellText(QStringLiteral("Dunmore's")), "Dunmore's");
}

QString written(RowFormat format, const QStringList& header, const QList<QStringList>& rows)
{
    QString text;
    QTextStream out(&text);
    const std::unique_ptr<RowWriter> writer = MakeRowWriter(format, out);
    writer->Header(header);
    for (const QStringList& row : rows)
        writer->Row(row);
    writer->Finish();
    out.flush();
    return text;
}

TEST(RowOutput, CsvQuotesOnlyWhatNeedsItAndTableAlignsByCharacters)
{
    EXPECT_EQ(written(RowFormat::Csv, {"a", "b,c"},
                      {{"plain", " blanks kept "}, {"say \"hi\"", "two\nlines"}, {"", "cr\r"}}),
              "a,\"b,c\"\nplain, blanks kept \n\"say \"\"hi\"\"\",\"two\nlines\"\n,\"cr\r\"\n");
    // "Åsa" and the emoji (a surrogate pair) count as three and one characters.
    EXPECT_EQ(written(RowFormat::Table, {"Name", "N", ""},
                      {{QStringLiteral("Åsa"), "10", ""}, {QStringLiteral("\U0001F600"), "", "x"},
                       {"tab\there", "two\r\nlines", ""}}),
              QStringLiteral("Name      N\n"
                             "--------  ---------  -\n"
                             "Åsa       10\n"
                             "\U0001F600                    x\n"
                             "tab here  two lines\n"));
    EXPECT_EQ(written(RowFormat::Table, {"Empty"}, {}), "Empty\n-----\n");
}

} // namespace
