// The model text: round trips, the reader's rules for every older layout,
// and texts it refuses.

#include "datamodel/model_fixtures.h"

#include <brindle/foundations/conversions.h>

#include <QTemporaryDir>

using namespace brindle;
using namespace brindle::testing;

// Written again line for line, so the reader took everything; the checks
// after it catch a writer and reader that agree on a wrong meaning.
TEST(ModelText, RichModelRoundTripsExactly)
{
    TVxDBInfo info;
    TVxDBStructure m;
    fillRichModel(m, info);
    TStringList first, second;
    m.SaveToStrings(first);
    TVxDBStructure back;
    int changes = 0;
    back.OnChange = [&](QObject*) { ++changes; };
    back.LoadFromStrings(first);
    EXPECT_EQ(changes, 1); // one notification for the whole load
    back.SaveToStrings(second);
    EXPECT_EQ(second.Lines(), first.Lines());

    EXPECT_EQ(back.DefaultMainTable(), back.TableByName(tlByName, "Customers"));
    ASSERT_EQ(back.LinkCount(), 4);
    EXPECT_EQ(QList({back.Links(0)->LinkType(), back.Links(1)->LinkType(), back.Links(2)->LinkType()}),
              QList({ltOuterLeft, ltOuterFull, ltOuterRight}));
    EXPECT_EQ(back.Links(3)->SQLExpr(), "(Customers.Kind=Customers.Kind) and ('B2B'=Customers.Kind)");
    EXPECT_TRUE(back.FieldByID(7)->DisplayName() == "Order number" && back.Conditions()[0]->Values()[1]->DataType() == ftDate);
    EXPECT_EQ(static_cast<TDSSQLEditor*>(back.FieldByName(flByDisplayName, "Name")->ValueEditor())->SQL.Lines(),
              QStringList({"select Name", "from Customers"}));
    EXPECT_TRUE(back.FieldGroups()[0]->Count() == 2 && back.RootGroup()->Count() == 4);

    // Assign, the text property, the ANSI text and files take the same road.
    TVxDBStructure copy, fromAnsi, fromFile;
    copy.Assign(m);
    EXPECT_EQ(copy.StructString(), m.StructString());
    char* ansi = m.GetStructureAsText();
    fromAnsi.SetStructureAsText(ansi);
    StrDispose(ansi);
    EXPECT_EQ(fromAnsi.StructString(), m.StructString());
    QTemporaryDir dir;
    m.SaveToFile(dir.filePath("m.dbs"));
    fromFile.LoadFromFile(dir.filePath("m.dbs"));
    EXPECT_EQ(fromFile.StructString(), m.StructString());

    // A new model reads back as it was; a text without a line feed is comma
    // text, and it brings its own catalogue.
    TVxDBStructure fresh, freshBack;
    fresh.SaveToStrings(first);
    freshBack.LoadFromStrings(first);
    EXPECT_TRUE(freshBack.StructureLoaded() && freshBack.TableCount() == 0 && freshBack.FieldCount() == 0);
    EXPECT_EQ(freshBack.StructString(), fresh.StructString());
    freshBack.SetStructString("[Main],Version=3.6,TableCount=1,\" \",[Table:1],Name=Orders");
    EXPECT_TRUE(freshBack.TableCount() == 1 && freshBack.Tables(0)->TableName() == "Orders" && freshBack.OperatCount() == 0);
}

// Aliases and operator names as a user may type them in the editor write
// and read back with the links and fields that name them.
TEST(ModelText, NamesWithCommasBlanksAndQuotesReadBack)
{
    for (const char* alias : {"c, x", "a b", "say \"hi\"", "x=y", "a;b", "@1 %"}) {
        TVxDBStructure m;
        m.AddTable("Orders", "Orders");
        m.AddTable("Customers", "Customers");
        m.AddLinkByExpr("Orders-Customers:CustID=ID");
        m.Tables(1)->SetTableAlias(alias);
        m.Tables(1)->SetDisplayName(alias);
        TDSOperator* equal = m.OperatorByName("Equal");
        equal->SetName(QString("Equal ") + alias);
        equal->SetDisplayName(alias);
        TDSField* id = m.Fields(m.AddField(kfkVirtual, "ID", "ID", nullptr));
        id->AddAppliedOperators();
        id->SetDisplayName(alias);
        TStringList first, second;
        m.SaveToStrings(first);
        TVxDBStructure back;
        back.LoadFromStrings(first);
        back.SaveToStrings(second);
        EXPECT_EQ(second.Lines(), first.Lines()) << alias;
        ASSERT_EQ(back.LinkCount(), 1) << alias;
        EXPECT_EQ(back.Links(0)->Table2()->TableAlias(), m.Tables(1)->TableAlias());
    }
}

TEST(ModelText, OlderLayouts)
{
    struct Case {
        const char* name;
        QString text;
        QStringList operators; // name=caption:template of each operator
        QStringList fields;    // display name@table of each field, in model order
    };
    const Case cases[] = {
        {"1.1 without a version key",
         "[Operations]\nEqualTo=equals,@f = '@1'\nLike=like,@f like '@1'\n"
         "[Tables]\nOrders=The orders\nCustomers=Customers\n[Table:Orders]\nAlias=o\nLinks=Customers\n"
         "[Link:Orders-Customers]\nFldName1=CustID\nFldName2=ID\n"
         "[Fields]\nCustID=Customer\n[Field:CustID]\nTableName=Orders\nFieldType=3\nOperats=Equal\n",
         {"Equal=equals:@f = '@1'", "Like=like:@f like '@1'"}, {"CustID@Orders"}},
        {"1.21",
         "[Main]\nVersion=1.21\n[Operations]\nEqual=is\n[Operation:Equal]\nSQLName=@f = @1\n"
         "[Tables]\nOrders=Orders\n[Table:Orders]\nAlias=o\n"
         "[Fields]\nAmount=x\n[Field:Amount]\nTableName=Orders\nEditType=1\nItems=a,b\n",
         {"Equal=is:@f = @1"}, {"Amount@Orders"}},
        {"1.6",
         "[Main]\nVersion=1.6\nTableCount=1\n[Operations]\nEqual=is equal\n[Operation:Equal]\nSQLName=@f = '@1'\n"
         "AppliedTypes=1,3,99\n[Table:1]\nName=Orders\nAlias=o\n"
         "[Fields]\nfld1\n[Field:fld1]\nFieldName=Amount\nTableAlias=o\nDisplayName=Amount due\n",
         {"Equal=is equal:@f = '@1'"}, {"Amount due@Orders"}},
        {"1.2",
         "[Main]\nVersion=1.2\n[Operations]\nEqual=equals,@f = '@1'\n"
         "[Tables]\nOrders=Orders\n[Table:Orders]\nAlias=o\n"
         "[Fields]\nCustID=Customer\n[Field:CustID]\nTableName=Orders\nOperats=Equal\n",
         {"Equal=equals:@f = '@1'"}, {"CustID@Orders"}},
        {"1.4",
         "[Main]\nVersion=1.4\n[Operations]\nEqual=is\n[Operation:Equal]\nSQLName=@f = @1\n"
         "[Tables]\nOrders=Orders\nItems=Items\n[Table:Orders]\nAlias=o\nLinks=Items\n"
         "[Table:Items]\nAlias=i\n[Link:Orders-Items]\nFldName1=ID\nFldName2=OrderID\n"
         "[Fields]\nfld\n[Field:fld]\nFieldName=Qty\nTableName=Items\nDisplayName=Quantity\n",
         {"Equal=is:@f = @1"}, {"Quantity@Items"}},
        {"2.0",
         "[Main]\nVersion=2.0\nTableCount=1\nFieldCount=1\n[Operations]\nEqual=is\n"
         "[Operation:Equal]\nSQLName=@f = '@1'\nAppliedTypes=ftString,ftInteger,\n"
         "[Table:1]\nName=Orders\n[Field:1]\nID=2\nFieldExpr=Qty\nDisplayName=Qty\nTableAlias=Orders\n"
         "EditType=-1\nFieldType=3\nOperators=Equal\n",
         {"Equal=is:@f = '@1'"}, {"Qty@Orders"}},
        {"2.01",
         "[Main]\nVersion=2.01\nTableCount=1\nFieldCount=1\n[Operations]\nEqual=is\n"
         "[Operation:Equal]\nSQLName=@f = '@1'\nAppliedTypes=ftString,\n"
         "[Table:1]\nName=Orders\n[Field:1]\nID=5\nTableAlias=Orders\nEditType=-1\nFieldType=1\n"
         "Operators=Equal\n",
         {"Equal=is:@f = '@1'"}, {"@Orders"}},
        {"2.9x groups by expression",
         "[Main]\nVersion=2.92\nOperatCount=0\nTableCount=1\nFieldCount=2\nFieldGroups=1\n"
         "[Table:1]\nName=T\n[Field:1]\nID=1\nFieldExpr=a\nDisplayName=A\nTableAlias=T\nEditType=-1\n"
         "[Field:2]\nID=2\nFieldExpr=b\nDisplayName=B\nTableAlias=T\nEditType=-1\n"
         "[FieldGroup1]\nGroupName=G\nFields=T.b\n[RootGroup]\nFields=T.a\n",
         {}, {"A@T", "B@T"}},
    };
    TVxDBStructure models[std::size(cases)];
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        TVxDBStructure& m = models[i];
        m.LoadFromStrings(TextLines(cases[i].text));
        QStringList operators, fields;
        for (int j = 0; j < m.OperatCount(); ++j)
            operators << m.Operators(j)->Name() + '=' + m.Operators(j)->DisplayName() + ':' + m.Operators(j)->SQLExpr();
        EXPECT_EQ(operators, cases[i].operators);
        for (int j = 0; j < m.FieldCount(); ++j)
            fields << m.Fields(j)->DisplayName() + '@' + (m.Fields(j)->Table() ? m.Fields(j)->Table()->TableName() : "");
        EXPECT_EQ(fields, cases[i].fields);
    }
    const TVxDBStructure& old = models[0]; // the link section is named by table names
    EXPECT_DOUBLE_EQ(old.Version(), 1.1);
    EXPECT_EQ(std::tuple(old.Tables(0)->TableAlias(), old.LinkCount(), old.Fields(0)->FieldType(), old.Fields(0)->Group()),
              std::tuple(QString("o"), 1, ftInteger, old.RootGroup()));
    EXPECT_EQ(models[2].Operators(0)->AppliedTypes, (TAppliedTypes{ftString, ftInteger})); // 1.6 keeps ordinals
    EXPECT_TRUE(models[7].FieldGroups()[0]->Items(0)->DisplayName() == "B" && models[7].RootGroup()->Count() == 1);
}

// A field belongs to one group: the last group that lists it, else the root
// group, where also every field no group lists ends up, each once.
TEST(ModelText, GroupMembersArePlacedOnce)
{
    QString text = "[Main]\nVersion=3.6\nOperatCount=0\nTableCount=1\nFieldCount=5\nFieldGroups=2\n[Table:1]\nName=T\n";
    for (int id = 1; id <= 5; ++id)
        text += QString("[Field:%1]\nID=%1\nFieldExpr=f%1\nDisplayName=F%1\nTableAlias=T\n").arg(id);
    text += "[FieldGroup1]\nGroupName=G1\nFields=1,2,3\n[FieldGroup2]\nGroupName=G2\nFields=2,9\n"
            "[RootGroup]\nFields=3,4,4\n";
    TVxDBStructure m;
    for (int load = 0; load < 2; ++load) { // the second load replaces the first
        m.LoadFromStrings(TextLines(text));
        const auto names = [](const TDSFieldGroup& group) {
            QStringList list;
            for (const TDSField* field : group)
                list << field->DisplayName() + '>' + (field->Group() == &group ? "" : "elsewhere");
            return list;
        };
        ASSERT_EQ(m.FieldGroups().Count(), 2);
        EXPECT_EQ(names(*m.FieldGroups()[0]), QStringList({"F1>", "F3>"}));
        EXPECT_EQ(names(*m.FieldGroups()[1]), QStringList({"F2>"}));
        EXPECT_EQ(names(*m.RootGroup()), QStringList({"F4>", "F5>"}));
    }
}

TEST(ModelText, BadTextsGiveTheirErrors)
{
    struct Case {
        const char* name;
        QString text;
        int code; // -1 for a conversion error
        QString message;
    };
    const Case cases[] = {
        {"missing link section", "[Main]\nVersion=3.6\nTableCount=1\n[Table:1]\nName=A\nLinks=B\n", 9,
         "Can not find section Link:A-B"},
        {"link to an unknown alias", "[Main]\nVersion=3.6\nTableCount=1\n[Table:1]\nName=A\nLinks=B\n"
                                     "[Link:A-B]\nFldName1=x\n", 4, "No such table B"},
        {"field of an unknown table", "[Main]\nVersion=3.6\nFieldCount=1\n[Field:1]\nID=7\nTableAlias=o\n", 0,
         "Can not find table \"o\" for field 7"},
        {"unknown operator", "[Main]\nVersion=3.6\nFieldCount=1\n[Field:1]\nKind=kfkVirtual\nOperators=Nope\n", 6,
         "Operator not found: Nope"},
        {"edit type not a number", "[Main]\nVersion=3.6\nFieldCount=1\n[Field:1]\nKind=kfkVirtual\nEditType=x\n", -1,
         "'x' is not a valid integer value"},
        {"field type out of range", "[Main]\nVersion=3.6\nFieldCount=1\n[Field:1]\nKind=kfkVirtual\nFieldType=52\n", -1,
         "'52' is not a valid field type"},
        {"unknown value kind", "[Main]\nVersion=3.6\nOperatCount=1\n[Operator:1]\nName=X\nValueKind=vkMany\n", -1,
         "'vkMany' is not a valid value kind"},
        {"a count no text could hold", "[Main]\nVersion=3.6\nTableCount=2000000000\n", 9,
         "Can not find section Table:4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TVxDBStructure m;
        if (c.code < 0)
            EXPECT_EQ(ErrorMessage<EConvertError>([&] { m.LoadFromStrings(TextLines(c.text)); }), c.message);
        else
            ExpectDBStructError([&] { m.LoadFromStrings(TextLines(c.text)); }, c.code, c.message);
    }
}
