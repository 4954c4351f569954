#include <brindle/foundations/enums.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/field_types.h>
#include <brindle/foundations/messages.h>

#include <gtest/gtest.h>

using namespace brindle;

TEST(Errors, CodedErrorsFormatTheirMessages)
{
    const EVxDBStructError e(4, LoadResString(_SDBSENoTable), {"Orders"});
    EXPECT_EQ(e.ErrorCode(), 4);
    EXPECT_EQ(e.Message(), "No such table Orders");
    EXPECT_STREQ(e.what(), "No such table Orders");
    EXPECT_EQ(e.ClassName(), "EVxDBStructError");

    EXPECT_EQ(EVxQueryPanelError(8, "Query was not built properly").Message(), "Query was not built properly");

    EXPECT_EQ(Format("%d%% of %s", {50, "x"}), "50% of x");
    EXPECT_THROW(Format("%d", {"abc"}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
}

TEST(Messages, TranslationReplacesTextsUntilRestored)
{
    EXPECT_EQ(LoadResString(65491), "Wrong SQL statement");
    EXPECT_EQ(LoadResString(_SDBSECantFindFieldInTbl), "Can not find field \"%s\" in table \"%s\"");
    EXPECT_EQ(LoadResString(65503), ""); // no message has that identifier

    SetMessageTranslation({{_SAndConj, "und"}});
    EXPECT_EQ(LoadResString(_SAndConj), "und");
    EXPECT_EQ(LoadResString(_SError), "Error");
    SetMessageTranslation({});
    EXPECT_EQ(LoadResString(_SAndConj), "and");
}

// Every name reads back as its value; near misses are no names.
TEST(Names, FieldTypesAndEnumerationsReadBack)
{
    for (int t = 0; t < FieldTypeCount; ++t)
        EXPECT_EQ(StrToFldType(FldTypeToStr(static_cast<TFieldType>(t)).toUpper()), t);
    for (const char* bad : {"", "String", "ftStrings", " ftString"})
        EXPECT_EQ(StrToFldType(bad), -1) << bad;
    EXPECT_EQ(StrToFldKind(FldKindToStr(kfkVirtual)), kfkVirtual);
    EXPECT_EQ(StrToValueKind(ValueKindToStr(vkSubQuery).toLower()), vkSubQuery);
    EXPECT_EQ(StrToFldKind("virtual"), -1);
    EXPECT_EQ(StrToValueKind("vtSubQuery"), -1);
}
