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

    int defined = 0;
    for (int id = 65488; id <= 65535; ++id)
        defined += DefaultResString(id).isEmpty() ? 0 : 1;
    EXPECT_EQ(defined, 47);

    SetMessageTranslation({{_SAndConj, "und"}});
    EXPECT_EQ(LoadResString(_SAndConj), "und");
    EXPECT_EQ(LoadResString(_SError), "Error");
    SetMessageTranslation({});
    EXPECT_EQ(LoadResString(_SAndConj), "and");
}

TEST(Names, FieldTypesAndEnumerations)
{
    EXPECT_EQ(FieldTypeCount, 52);
    EXPECT_EQ(FldTypeToStr(ftSingle), "ftSingle");
    EXPECT_EQ(StrToFldType("FTSTRING"), ftString);
    EXPECT_EQ(StrToFldType("ftTimeStampOffset"), ftTimeStampOffset);
    for (const char* bad : {"", "String", "ftStrings", " ftString"})
        EXPECT_EQ(StrToFldType(bad), -1) << bad;
    for (int t = 0; t < FieldTypeCount; ++t)
        EXPECT_EQ(StrToFldType(FldTypeToStr(static_cast<TFieldType>(t))), t);

    EXPECT_EQ(FldKindToStr(kfkVirtual), "kfkVirtual");
    EXPECT_EQ(StrToFldKind("KFKDATA"), kfkData);
    EXPECT_EQ(StrToFldKind("virtual"), -1);
    EXPECT_EQ(ValueKindToStr(vkSubQuery), "vkSubQuery");
    EXPECT_EQ(StrToValueKind("vklist"), vkList);
    EXPECT_EQ(StrToValueKind("vtSubQuery"), -1);
}
