#include <brindle/sqlimport/template_match.h>

#include <gtest/gtest.h>

using namespace brindle;

namespace {

// "f|1|2" of a successful match, "no" otherwise.
QString match(const char* templ, const char* text)
{
    TStringList variables;
    if (!MatchSQLTemplate(QString::fromUtf8(templ), QString::fromUtf8(text), variables))
        return QStringLiteral("no");
    return variables.Values("@f") + u'|' + variables.Values("@1") + u'|' + variables.Values("@2");
}

TEST(TemplateMatch, ValuesAndOptionalQuotes)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"@f = '@1'", "Customers.Name = 'Smith'", "Customers.Name|Smith|"},
        {"@f = '@1'", "c.Qty   =   5", "c.Qty|5|"},
        {"@f between '@1' and '@2'", "p.Price between 10 and 20", "p.Price|10|20"},
        {"@f between '@1' and '@2'", "p.Price BETWEEN '10' AND '20'", "p.Price|10|20"},
        {"@f in (@1)", "t.Id in (1, 2, 3)", "t.Id|1, 2, 3|"},
        {"@f like '%@1%'", "t.Name like '%mit%'", "t.Name|mit|"},
        {"not(@f like '%@1%')", "not(t.Name like '%mit%')", "t.Name|mit|"},
        {"@f like '@1%'", "t.Name like '%mit%'", "no"},
        {"@f is null", "t.Name is null", "t.Name||"},
        {"@f is null", "t.Name is not null", "no"},
        // Brackets and quotes keep the stop character inside the value.
        {"@f = @1", "LOWER(a = b) = 'x y'", "LOWER(a = b)|'x y'|"},
        {"@f in (@1)", "t.Id in (SELECT id FROM u WHERE v IN (1, 2))", "t.Id|SELECT id FROM u WHERE v IN (1, 2)|"},
        // Inside the template's literal a doubled quote is part of the value.
        {"@f = '@1'", "t.a = 'it''s'", "t.a|it''s|"},
        {"@f like '%@1%'", "t.a like '%\"a''b(%'", "t.a|\"a''b(|"},
        {"@f = @1", "t.a = 'it''s'", "t.a|'it''s'|"},
        {"@f = '@1'", "t.a = ", "no"},
        {"@f <> '@1'", "t.a = 'x'", "no"},
        // A letter outside ASCII that lower-cases to an ASCII one (the
        // Kelvin sign) matches it.
        {"@f like '@1%'", "t.a li\xe2\x84\xaa" "e 'x%'", "t.a|x|"},
    };
    for (const auto& [templ, text, expected] : cases)
        EXPECT_EQ(match(templ, text), expected) << templ << " / " << text;
    TemplateVariables literal;
    ASSERT_TRUE(MatchSQLTemplate(u"@f = '@1'", u"t.a = 'it''s'", literal));
    EXPECT_EQ(literal.Text(u"@1"), "it's");
    ASSERT_TRUE(MatchSQLTemplate(u"@f = @1", u"t.a = 'it''s'", literal));
    EXPECT_EQ(literal.Text(u"@1"), "'it''s'") << "a value outside the template's quotes is the text as written";

    // One text tried against every template, with the leading value's ends
    // remembered, reads what each template alone reads.
    for (const auto& [ignored, text, alsoIgnored] : cases) {
        const QString sql = QString::fromUtf8(text);
        TemplateText shared(sql);
        for (const auto& [templ, other, expected] : cases) {
            const QString pattern = QString::fromUtf8(templ);
            TemplateVariables alone, reused;
            const bool matched = MatchSQLTemplate(pattern, sql, alone);
            // The character test may only turn away texts that cannot fit.
            EXPECT_TRUE(!matched || TemplateCharacters(pattern).IsWithin(TextCharacters(sql))) << templ << " / " << text;
            ASSERT_EQ(MatchSQLTemplate(pattern, shared, reused), matched) << templ << " / " << text;
            for (const char16_t* name : {u"@f", u"@1", u"@2"})
                EXPECT_EQ(reused.Value(name), alone.Value(name)) << templ << " / " << text;
        }
    }
    // The character test does turn away templates whose literals are missing.
    EXPECT_FALSE(TemplateCharacters(u"@f between '@1' and '@2'").IsWithin(TextCharacters(u"t.a = 'x'")));
    EXPECT_FALSE(TemplateCharacters(u"@f in (@1)").IsWithin(TextCharacters(u"t.in = 1")));

    // A later match replaces only the values it reads.
    TStringList variables;
    ASSERT_TRUE(MatchSQLTemplate(u"@f between '@1' and '@2'", u"a between 1 and 2", variables));
    ASSERT_TRUE(MatchSQLTemplate(u"@f = '@1'", u"b = 3", variables));
    EXPECT_EQ(variables.Values("@f") + variables.Values("@1") + variables.Values("@2"), "b32");
}

} // namespace
