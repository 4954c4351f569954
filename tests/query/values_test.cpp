#include "datamodel/model_fixtures.h"
#include "query/query_fixtures.h"

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/text_utils.h>

#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace brindle;

namespace {

// The content of the one single-quoted literal that makes up the whole
// text; in MySQL's syntax a backslash escapes the next character.
std::optional<QString> literalContent(const QString& text, TSQLSyntax syntax = ssSQL2)
{
    if (syntax == ssMySQL) {
        if (text.size() < 2 || !text.startsWith('\'') || !text.endsWith('\''))
            return std::nullopt;
        QString content;
        for (qsizetype i = 1; i < text.size() - 1; ++i) {
            if (text[i] == '\\' || text[i] == '\'') {
                if (i + 1 >= text.size() - 1 || (text[i] == '\'' && text[i + 1] != '\''))
                    return std::nullopt;
                ++i;
            }
            content += text[i];
        }
        return content;
    }
    const QString content = UnquotedString(text, u'\'');
    return QuotedString(content, u'\'') == text ? std::optional(content) : std::nullopt;
}

} // namespace

class ValueConversion : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    ValueConversion() : ModelQuery(false) {}

    // An operator of its own whose values have the type and kind.
    TDSOperator* typedOp(TFieldType type, TValueKind kind = vkScalar, const QString& sql = "@f = '@1'")
    {
        TDSOperator* op = m.model.Operators(m.model.AddOperator("Op" + QString::number(m.model.OperatCount()), "op",
                                                                sql, {}, TDSOperator::DefaultAppliedTypes));
        op->SetExprType(type);
        op->SetValueKind(kind);
        return op;
    }
    QString sql(TFilterCond* c, const QString& text = "X = '@1'") { return query.ReplaceValuePlaceholders(c, text); }
};

TEST_F(ValueConversion, LiteralsByTypeKindSyntaxAndTemplate)
{
    m.model.SQLFormats()->SetDate("yyyy-mm-dd");
    const QString date = BrDateTimeToStr(EncodeDate(2016, 3, 5) + EncodeTime(14, 7, 0, 0));
    const QString toDate = "TO_DATE('05-03-2016 14:07:00', 'dd-mm-yyyy hh24:mi:ss')";
    TDSOperator* lowered = typedOp(ftUnknown);
    lowered->SetCaseInsensative(true);
    const struct {
        TDSField* field;
        TDSOperator* op;
        QString v1, v2, text, expected;
        TSQLSyntax syntax = ssSQL2;
    } cases[] = {
        {m.custName, m.op("Equal"), "O'Brien", "", "X = '@1'", "X = 'O''Brien'"},
        {m.orderID, m.op("Equal"), "42", "", "X = '@1'", "X = 42"},
        {m.orderID, m.op("Equal"), "", "", "X = '@1'", "X = 0"},
        {m.paid, m.op("Equal"), "", "", "X = '@1'", "X = 'False'"},
        {m.custName, m.op("InList"), "a,b,c", "", "X in (@1)", "X in ('a','b','c')"},
        {m.custName, m.op("InList"), "it's,\"c d\"", "", "X in (@1)", "X in ('it''s','c d')"},
        {m.orderID, m.op("InList"), "1,2,3", "", "X in (@1)", "X in (1,2,3)"},
        {m.amount, m.op("Between"), "10", "2.50", "X between '@1' and '@2'", "X between 10 and 2.5"},
        {m.custName, m.op("Between"), "a@2b", "z", "X between '@1' and '@2'", "X between 'a@2b' and 'z'"},
        // Private-use characters in a value or the text take the general way;
        // both ways must write the same.
        {m.custName, m.op("Between"), QString(QChar(0xE001)), "z", "X between '@1' and '@2'",
         "X between '" + QString(QChar(0xE001)) + "' and 'z'"},
        {m.custName, m.op("Equal"), "a", "", QString(QChar(0xE000)) + " = '@1'", QString(QChar(0xE000)) + " = 'a'"},
        {m.custName, m.op("Equal"), "a", "", "'@1' || '@1' || @1", "'a' || 'a' || @1"},
        {m.custName, lowered, "Abc", "", "X = '@1'", "X = LOWER('Abc')"},
        {m.orderID, lowered, "5", "", "X = '@1'", "X = 5"},
        {m.custName, typedOp(ftString, vkSubQuery, "@f in (@1)"), "SELECT 1 WHERE N = 'x'", "", "X in (@1)",
         "X in (SELECT 1 WHERE N = 'x')"},
        {m.orderDate, m.op("Equal"), date, "", "X = '@1'", "X = '2016-03-05'"},
        {m.orderDate, m.op("Equal"), "", "", "X = '@1'", "X = '1899-12-30'"},
        {m.orderDate, m.op("Equal"), date, "", "X = '@1'", "X = " + toDate, ssOracle},
        {m.orderDate, typedOp(ftTime), date, "", "X = '@1'", "X = '" + toDate + "'", ssOracle},
        {m.orderDate, m.op("Equal"), date, "", "X = '@1'", "X = 'DATE '2016-03-05''", ssNexusDB},
    };
    for (const auto& c : cases) {
        query.SetSQLSyntax(c.syntax);
        EXPECT_EQ(sql(add(c.field, c.op, c.v1, c.v2), c.text), c.expected);
    }
    m.model.SQLFormats()->SetQuoteDate(false);
    EXPECT_EQ(sql(add(m.orderDate, typedOp(ftTimeStamp), date)), "X = TIMESTAMP '2016-03-05 14:07:00'");
    query.SetSQLSyntax(ssSQL2);
    EXPECT_EQ(sql(add(m.orderDate, typedOp(ftTimeStamp), date)), "X = " + query.ProcessDateValue(ftDate, date, false))
        << "without a model format the locale's text is written";
    for (const char* bad : {"yesterday", "1e9"})
        EXPECT_THROW(sql(add(m.orderDate, "Equal", bad)), EConvertError) << bad;

    TFilterCond* custom = query.AddCustomCondition(query.Filter(), m.bigOrders);
    custom->SetValue(1, "12.5");
    EXPECT_EQ(sql(custom, custom->GetSQLExpr()), "o.Amount > 12.5");
    EXPECT_EQ(query.ExtractValue(add(m.orderID, "Equal", "1", "raw'"), 2), "raw'") << "past the count";

    // Text types the model writes without quotes become literals of their own.
    m.model.SetQuotedTypes({ftInteger});
    EXPECT_EQ(sql(add(m.custName, "Equal", "x' OR 'a'='a"), "X = @1"), "X = 'x'' OR ''a''=''a'");
    EXPECT_EQ(sql(add(m.custName, "InList", "a,b'"), "X in (@1)"), "X in ('a','b''')");
    EXPECT_EQ(sql(add(m.orderID, "Equal", "1 OR 1=1")), "X = '1 OR 1=1'");
}

TEST_F(ValueConversion, NumbersAndBooleansAreReadStrictly)
{
    const struct {
        TFieldType type;
        const char* value;
        const char* written; // none: refused
    } cases[] = {
        {ftInteger, " -12 ", "-12"}, {ftLargeint, "+7", "+7"},     {ftSmallint, "0x10", nullptr},
        {ftInteger, "--1", nullptr}, {ftWord, "\u0661", nullptr},  {ftFloat, "1e5", "100000"},
        {ftFloat, "1e5x", nullptr},  {ftFloat, "1,5", nullptr},    {ftCurrency, "1.23456", "1.2346"},
        {ftSingle, "2.50", "2.5"},   {ftExtended, "inf", nullptr}, {ftBCD, "12.50", "12.50"},
        {ftFMTBcd, "-.5", "-.5"},    {ftBCD, "1e5", nullptr},      {ftBCD, ".", nullptr},
    };
    for (const auto& c : cases) {
        TSimpleCond* condition = add(m.custName, typedOp(c.type), c.value);
        if (c.written)
            EXPECT_EQ(sql(condition), QString("X = ") + c.written) << c.value;
        else
            EXPECT_THROW(sql(condition), EConvertError) << c.value;
    }
    EXPECT_EQ(fixtures::errorOf<EConvertError>([&] { sql(add(m.orderID, "InList", "1,2 OR 1=1"), "X in (@1)"); }),
              "'OR' is not a valid integer value");
    QLocale::setDefault(QLocale(QLocale::German));
    const QString german = sql(add(m.amount, "Equal", "1,5"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(german, "X = 1.5");

    TSQLFormats* formats = m.model.SQLFormats();
    formats->SetQuoteBool(false);
    TSimpleCond* paid = add(m.paid, "Equal");
    EXPECT_EQ(sql(paid), "X = false");
    formats->SetFalseValue("0");
    formats->SetTrueValue("Yes");
    const QString empty = sql(paid); // the empty default is the model's false text
    paid->SetValue(1, " yES ");
    EXPECT_EQ(empty + "|" + sql(paid), "X = 0|X = Yes");
    paid->SetValue(1, "true");
    EXPECT_THROW(sql(paid), EConvertError);
}

// Random hostile values for every type and syntax, quoted as the model says
// and with the quoting turned round: each is refused, or written as a clean
// number or Boolean text, or is exactly the content of one literal.
TEST_F(ValueConversion, HostileValuesNeverLeaveTheirLiteral)
{
    const QStringList pieces = {"'", "\"", ";", "--", " OR 1=1", "1", "-", "+", "e5", "x", ".", ",", "\n",
                                QString(QChar(0)), " ", "\\", "@1", "true", "%", "\u00e9", "0"};
    std::mt19937 rng(20240611);
    QStringList values = {"1;--", "x'--", QString("1") + QChar(0) + "2", "1\n2"};
    while (values.size() < 150) {
        QString value;
        for (int n = 1 + int(rng() % 6); n > 0; --n)
            value += pieces.at(int(rng() % pieces.size()));
        values << value;
    }
    const TFieldTypes integers = {ftSmallint, ftInteger, ftWord, ftAutoInc, ftLargeint, ftShortint, ftByte, ftLongWord};
    const TFieldTypes floats = {ftFloat, ftCurrency, ftExtended, ftSingle};
    const TFieldTypes decimals = {ftBCD, ftFMTBcd};
    const QRegularExpression integer("^[+-]?[0-9]+$"), decimal("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"),
        number("^-?[0-9]+(\\.[0-9]+)?(E[+-][0-9]+)?$");
    QList<TFieldType> types;
    QList<TSimpleCond*> conditions;
    for (int t = ftString; t < FieldTypeCount; ++t)
        if ((BrUsedTypes + integers + floats + decimals).Contains(TFieldType(t)) || t == ftGuid) {
            types << TFieldType(t);
            conditions << add(m.custName, typedOp(TFieldType(t)));
        }
    for (TQuotedTypes quotedTypes : {m.model.QuotedTypes(), integers + floats + decimals + TQuotedTypes{ftGuid}}) {
        m.model.SetQuotedTypes(quotedTypes);
        for (TSQLSyntax syntax : {ssSQL1, ssSQL2, ssOracle, ssAccess, ssNexusDB, ssPostgreSQL, ssSQLite, ssMySQL,
                                  ssMSSQL}) {
            query.SetSQLSyntax(syntax);
            for (int t = 0; t < types.size(); ++t) {
                const TFieldType type = types[t];
                const bool quoted = quotedTypes.Contains(type), dated = BrDateTimeTypes.Contains(type);
                for (const QString& value : values) {
                    conditions[t]->SetValue(1, value);
                    const std::string context = (FldTypeToStr(type) + " " + SQLSyntaxToStr(syntax) + " [" + value
                                                 + "]").toStdString();
                    QString literal;
                    try {
                        literal = sql(conditions[t]).mid(4);
                    } catch (const EConvertError&) {
                        // Only a #0, which no literal may hold, refuses a text.
                        EXPECT_TRUE(value.contains(QChar(0)) || !(quoted && !floats.Contains(type) && !dated))
                            << context;
                        continue;
                    }
                    if (dated)
                        EXPECT_NO_THROW(StrToFloat(value)) << context;
                    else if (floats.Contains(type))
                        EXPECT_TRUE(
                            number.match(quoted ? literalContent(literal, syntax).value_or("") : literal).hasMatch())
                            << context;
                    else if (quoted || (!integers.Contains(type) && !decimals.Contains(type) && type != ftBoolean))
                        EXPECT_EQ(literalContent(literal, syntax), std::optional<QString>(value)) << context;
                    else if (type == ftBoolean)
                        EXPECT_TRUE(literal == "true" || literal == "false") << context;
                    else
                        EXPECT_TRUE((integers.Contains(type) ? integer : decimal).match(literal).hasMatch()) << context;
                }
            }
        }
    }
}
