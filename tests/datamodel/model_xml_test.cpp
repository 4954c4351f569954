// The model as XML: the reader's own names, round trips from the writer to
// the reader, environment references and refused documents.

#include <brindle/datamodel/model_xml.h>

#include "datamodel/model_fixtures.h"

#include <tuple>

using namespace brindle;
using namespace brindle::testing;

namespace {

TStringList document(const QString& body)
{
    return TextLines(QStringLiteral("<?xml version=\"1.0\"?>\n<DataModel>\n") + body + QStringLiteral("\n</DataModel>\n"));
}

// The writer's document with its groups and field tables in the names the
// reader looks for; everything else stays as written.
TStringList readerForm(const TStringList& written)
{
    QString text = written.Text();
    text.replace(QStringLiteral("<Entity "), QStringLiteral("<GROUP "))
        .replace(QStringLiteral("</Entity>"), QStringLiteral("</GROUP>"))
        .replace(QStringLiteral(" tables=\""), QStringLiteral(" TABLE=\""));
    return TextLines(text);
}

// Two tables, a link with value and field sides, a field of every editor
// kind, a named group and an operator of each value kind.
void fillModel(TVxDBStructure& m, FakeDBInfo& info)
{
    info.columns["Orders"] = {{"ID", ftInteger, 4}, {"Stamp", ftTimeStamp, 8}};
    info.columns["Customers"] = {{"Name", ftString, 40}, {"Kind", ftSmallint, 2}};
    m.SetDatabaseInfo(&info);
    TDSTable* orders = AddTable(m, "Orders", "o");
    orders->SetDatabaseName("sales");
    orders->SetTableHints("NOLOCK");
    TDSTable* customers = AddTable(m, "Customers", "c");
    TDSLink* link = AddLink(m, orders, customers);
    link->AddColumnPair("fld:CustID", "=", "Name");
    link->AddColumnPair("val:'B2B'", "<>", "fld:Kind");
    link->SetLinkType(ltOuterRight);
    link->SetQuoteFields(true);

    m.Fields(m.AddField(kfkData, "ID", "Order", orders))->SetEditType(etEdit);
    m.Fields(m.AddField(kfkData, "Stamp", "Stamped", orders))->SetUseInResult(false);
    TDSField* name = m.Fields(m.AddField(kfkData, "Name", "Customer <&\"name\">", customers));
    name->SetEditType(etSQL);
    static_cast<TDSSQLEditor*>(name->ValueEditor())->SQL.SetText("select Name\nfrom Customers where x ]]> y\n");
    TDSField* kind = m.Fields(m.AddField(kfkData, "Kind", "Kind", customers));
    kind->SetEditType(etList);
    auto* list = static_cast<TDSListEditor*>(kind->ValueEditor());
    list->Items.SetCommaText("Trade,\"Private person\"");
    list->Values.SetCommaText("1,2");
    TDSField* twice = m.Fields(m.AddField(kfkVirtual, "o.ID * 2", "Twice", nullptr));
    twice->SetEditType(etCustom);
    twice->SetUserData("host data");
    twice->SetID(40);
    m.FieldGroups().AddGroup("Sales", twice);
    m.Operators(m.AddOperator("InQuery", "is in", "@f in (@1)", "", {ftInteger}))->SetValueKind(vkSubQuery);
    for (int i = 0; i < m.FieldCount(); ++i)
        m.Fields(i)->AddAppliedOperators();
    m.Description = "Orders & customers";
    m.CustomInfo.Data = QVariantMap{{"DSN", "sales"}, {"UserName", "clerk"}};
}

} // namespace

TEST(ModelXml, RoundTripInTheReadersNames)
{
    FakeDBInfo info;
    TVxDBStructure m;
    fillModel(m, info);
    TStringList out;
    SaveDMToXml(m, out);
    TStringList in = readerForm(out);
    TVxDBStructure back;
    LoadDMFromXml(back, in);

    EXPECT_EQ(back.Description + "|" + back.CustomInfo.Data.toMap().value("UserName").toString(),
              "Orders & customers|clerk");
    ASSERT_EQ(back.OperatCount(), m.OperatCount());
    // Quotes and wildcards stay behind; a sub-query operator is written as "Query".
    EXPECT_EQ(std::tuple(back.OperatorByName("Contains")->SQLExpr(), back.OperatorByName("Between")->ValFormat(),
                         back.OperatorByName("InList")->ValueKind(), back.OperatorByName("InQuery")->ValueKind()),
              std::tuple(QString("@f like @1"), QString("{op}"), vkList, vkScalar));
    // Types that share a name read back as one of them.
    EXPECT_EQ(back.OperatorByName("Equal")->AppliedTypes,
              m.OperatorByName("Equal")->AppliedTypes - TAppliedTypes({ftSmallint, ftTimeStamp}));

    ASSERT_EQ(back.TableCount(), 2);
    const TDSTable* orders = back.Tables(0);
    EXPECT_EQ(QStringList({orders->TableAlias(), orders->DatabaseName(), orders->TableHints()}),
              QStringList({"o", "sales", "NOLOCK"}));
    ASSERT_EQ(back.LinkCount(), 1);
    const TDSLink* link = back.Links(0);
    EXPECT_EQ(std::tuple(link->Table1(), link->Table2(), link->LinkType()),
              std::tuple(orders, back.Tables(1), ltOuterRight));
    // "C" is not the reader's "E".
    EXPECT_EQ(link->Fields1().Lines() + link->Fields2().Lines() + link->Operators().Lines(),
              QStringList({"fld:CustID", "fld:'B2B'", "fld:Name", "fld:Kind", "=", "<>"}));

    ASSERT_EQ(back.FieldCount(), m.FieldCount());
    for (int i = 0; i < m.FieldCount(); ++i) {
        const TDSField* a = m.Fields(i);
        const TDSField* b = back.Fields(i);
        EXPECT_EQ(std::tuple(b->ID(), b->FieldKind(), b->FieldExpr(), b->DisplayName(), b->FieldSize(),
                             b->UseInResult(), b->EditType(), b->GetOperatorNames(), b->UserData()),
                  std::tuple(a->ID(), a->FieldKind(), a->FieldExpr(), a->DisplayName(), a->FieldSize(),
                             a->UseInResult(), a->EditType(), a->GetOperatorNames(), a->UserData()));
        EXPECT_EQ(b->Table() ? b->Table()->TableAlias() : "", a->Table() ? a->Table()->TableAlias() : "");
    }
    EXPECT_EQ(std::pair(back.Fields(1)->FieldType(), back.Fields(3)->FieldType()), std::pair(ftDateTime, ftWord));
    EXPECT_EQ(static_cast<TDSSQLEditor*>(back.Fields(2)->ValueEditor())->SQL.Lines(),
              QStringList({"select Name", "from Customers where x ]]> y"}));
    const auto* list = static_cast<TDSListEditor*>(back.Fields(3)->ValueEditor());
    EXPECT_EQ(list->Items.Lines() + list->Values.Lines(), QStringList({"Trade", "Private person", "1", "2"}));
    ASSERT_EQ(back.FieldGroups().Count(), 1);
    EXPECT_EQ(std::tuple(back.RootGroup()->GroupName(), back.FieldGroups()[0]->GroupName(), back.Fields(4)->Group()),
              std::tuple(QString("Root entity"), QString("Sales"), back.FieldGroups()[0]));

    // A connected database info decides a data field's type, as for any field added.
    info.columns["Orders"][0].type = ftLargeint;
    TVxDBStructure withInfo;
    withInfo.SetDatabaseInfo(&info);
    in = readerForm(out);
    LoadDMFromXml(withInfo, in);
    EXPECT_EQ(withInfo.Fields(0)->FieldType(), ftLargeint);

    // Read as written, the Entity is a field without an ID: the root
    // group's fields come before it, without their tables; with a database
    // info the first data field is looked up without a table.
    TVxDBStructure asWritten;
    EXPECT_THROW(LoadDMFromXml(asWritten, out), EConvertError);
    EXPECT_TRUE(asWritten.FieldCount() == 4 && asWritten.Fields(0)->Table() == nullptr);
    asWritten.SetDatabaseInfo(&info);
    ExpectDBStructError([&] { LoadDMFromXml(asWritten, out); }, 10, "Can not find field \"ID\" in table \"\"");
}

// A field after another in its group is composed without the XML layer
// where it can be: each kind of field must come out as the layer writes it
// when it is the group's first, and the lines handed over as they complete
// must keep the document's first and last lines and blank lines in a text.
TEST(ModelXml, FieldsAfterTheFirstAsTheXmlLayerWritesThem)
{
    const std::tuple<const char*, TDSEditType, const char*, bool> variants[] = {
        {"Plain", etAuto, "", true}, {"Größe", etAuto, "data", true}, {"a \"b\" & <c>", etAuto, "", true},
        {"tab\there", etAuto, "", true}, {"Edited", etEdit, "", true}, {"None", etAuto, "", false}};
    for (const auto& [caption, edit, userData, operators] : variants) {
        QStringList written[2]; // the field's lines as its group's first field and after one
        for (int after = 0; after < 2; ++after) {
            FakeDBInfo info;
            info.columns["T"] = {{"first", ftInteger, 4}, {"xy", ftString, 10}};
            TVxDBStructure m;
            m.SetDatabaseInfo(&info);
            m.Description = "a\n\nb\n";
            TDSTable* table = AddTable(m, "T", "t");
            TDSFieldGroup* group = m.FieldGroups().AddGroup("G", nullptr);
            if (after)
                group->Add(m.Fields(m.AddField(kfkData, "first", "First", table)));
            TDSField* field = m.Fields(m.AddField(kfkData, "xy", caption, table));
            field->SetID(7);
            field->SetEditType(edit);
            field->SetUserData(userData);
            if (operators)
                field->AddAppliedOperators();
            group->Add(field);
            TStringList out;
            SaveDMToXml(m, out);
            EXPECT_EQ(QStringList({out[0], out[out.Count() - 1]}), QStringList({"<?xml version=\"1.0\"?>", "</DataModel>"}));
            const QString text = out.Text();
            EXPECT_TRUE(text.contains("<Description>a\n\nb\n</Description>\n"));
            const qsizetype from = text.indexOf("<Attr id=\"7\"");
            written[after] = text.mid(from, text.indexOf("</Attr>", from) - from).split('\n');
        }
        EXPECT_EQ(written[1], written[0]) << caption;
    }
}

TEST(ModelXml, EnvironmentReferences)
{
    qputenv("BRINDLE_XML_A", "x");
    qputenv("BRINDLE_XML_EMPTY", "");
    qunsetenv("BRINDLE_XML_NONE");
    const struct {
        QString text, expanded;
    } cases[] = {
        {"%BRINDLE_XML_A%", "x"},
        {"a%BRINDLE_XML_A%b%BRINDLE_XML_A%%BRINDLE_XML_EMPTY%c", "axbxc"},
        {"%BRINDLE_XML_NONE%", "%BRINDLE_XML_NONE%"},
        {"%BRINDLE_XML_NONE%BRINDLE_XML_A%", "%BRINDLE_XML_NONEx"},
        {"100%% sure, 50%", "100%% sure, 50%"},
        {"%BRINDLE_XML_A", "%BRINDLE_XML_A"},
        {"%BRINDLE_XML_A=x%", "%BRINDLE_XML_A=x%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandEnvironmentStrings(c.text), c.expanded) << c.text.toStdString();

    // Written as the database info keeps them, never expanded.
    FakeDBInfo info;
    info.saved = TStringList({"Host=%BRINDLE_XML_A%", "bad name=1", "User="});
    TVxDBStructure m;
    m.SetDatabaseInfo(&info);
    TStringList out;
    SaveDMToXml(m, out);
    EXPECT_EQ(out.Lines().mid(2, 4), QStringList({"  <DBParams>", "    <Host>%BRINDLE_XML_A%</Host>",
                                                  "    <User></User>", "  </DBParams>"}));
    // Read, they are expanded; the reader's element names ignore case.
    TStringList in = document("<dbparams><Host>%BRINDLE_XML_A%:1</Host><Port/></dbparams>");
    LoadDMFromXml(m, in);
    EXPECT_EQ(info.loaded.Lines(), QStringList({"Host=x:1", "Port="}));
}

TEST(ModelXml, RefusedDocuments)
{
    QString attributes;
    for (int i = 0; i < 300; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    const struct {
        QString text, message;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\n<DataModel>\n  <Tables>\n</DataModel>",
         "Line 4, column 12: Opening and ending tag mismatch."},
        {"", "Line 1, column 0: Premature end of document."},
        {"<!-- <a> -->\n<DataModel a='>'\n" + attributes + "/>",
         "Line 2, column 1: an element has more than 256 attributes"},
        {"<!DOCTYPE d [<!ENTITY e \"<a/>\">]><d>&e;</d>",
         "Line 1, column 1: document type declarations are not accepted"},
    };
    for (const auto& c : cases) {
        TVxDBStructure m;
        TStringList in = TextLines(c.text);
        EXPECT_EQ(ErrorMessage<EXMLDocumentError>([&] { LoadDMFromXml(m, in); }), c.message);
        EXPECT_EQ(m.OperatCount(), 0) << c.message; // cleared before the document was read
    }

    // A field's ID and SIZE must be numbers; what came before stays.
    const struct {
        QString attributes, message;
    } fields[] = {
        {"SIZE=\"1\"", "'' is not a valid integer value"},
        {"ID=\"x\" SIZE=\"1\"", "'x' is not a valid integer value"},
        {"ID=\"2\"", "'' is not a valid integer value"},
        {"ID=\"2\" SIZE=\"1.5\"", "'1.5' is not a valid integer value"},
    };
    for (const auto& c : fields) {
        TVxDBStructure m;
        TStringList in = document("<TABLES><T NAME=\"A\"/></TABLES><ENTITIES><F ID=\"1\" SIZE=\"0\" KIND=\"Virtual\"/>"
                                  "<F " + c.attributes + "/><F ID=\"9\" SIZE=\"0\"/></ENTITIES>");
        EXPECT_EQ(ErrorMessage<EConvertError>([&] { LoadDMFromXml(m, in); }), c.message) << c.attributes;
        EXPECT_TRUE(m.TableCount() == 1 && m.FieldCount() == 1) << c.attributes;
    }

    // Nesting costs no call stack.
    const int depth = 100000;
    TVxDBStructure m;
    TStringList in = document("<ENTITIES>" + QString("<GROUP>").repeated(depth) + "<F ID=\"1\" SIZE=\"0\"/>"
                              + QString("</GROUP>").repeated(depth) + "</ENTITIES>");
    LoadDMFromXml(m, in);
    EXPECT_EQ(m.FieldGroups().Count(), depth);
    EXPECT_EQ(m.Fields(0)->Group(), m.FieldGroups()[depth - 1]);
}

// Plain documents are read by the reader's own pass; a comment sends the
// same document through the XML layer. Both must build the same model, and
// what is not well-formed must be refused whichever pass sees it first.
TEST(ModelXml, OwnPassAgreesWithTheXmlLayer)
{
    const QString bodies[] = {
        "<TABLES><T NAME=\"a&amp;b&lt;&gt;&#65;&#x42;&apos;&quot;\" ALIAS = 'q\"t' /></TABLES>",
        "<TABLES><T NAME=\"line&#10;break\"/><T NAME=\"tab\there\"/></TABLES>",
        "<DESCRIPTION>a > b ]] c</DESCRIPTION><CUSTOMINFO><DSN>x &amp; y</DSN></CUSTOMINFO>",
        "<DESCRIPTION>one\ntwo</DESCRIPTION><TABLES><T NAME=\"\u00e9\u4e2d\"></T ></TABLES>",
        "<ENTITIES NAME=\"Root\"><GROUP NAME=\"G\"><F ID=\"1\" SIZE=\"0\" KIND=\"Virtual\" EXPR=\"1\"/></GROUP></ENTITIES>",
    };
    for (const QString& body : bodies) {
        TVxDBStructure plain, layered;
        TStringList in = document(body);
        LoadDMFromXml(plain, in);
        TStringList commented = document("<!-- -->" + body);
        LoadDMFromXml(layered, commented);
        TStringList plainText, layeredText;
        plain.SaveToStrings(plainText);
        layered.SaveToStrings(layeredText);
        EXPECT_EQ(plainText.Text(), layeredText.Text()) << body;
        EXPECT_EQ(plain.Description, layered.Description) << body;
    }
    const QString broken[] = {
        "<T A=\"1\" A=\"2\"/>", "<T A=\"1\"B=\"2\"/>", "<T A=1/>", "<T A=\"<\"/>", "<T A=\"&bad;\"/>",
        "<T></t>", "<T/ >", "<1T/>", "<T A=\"1/>",
    };
    for (const QString& body : broken) {
        TVxDBStructure m;
        TStringList in = document(body);
        EXPECT_TRUE(ErrorMessage<EXMLDocumentError>([&] { LoadDMFromXml(m, in); }).startsWith("Line ")) << body;
    }
    for (const QString& text : {QString("<a/><b/>"), QString("<a/>text"), QString("x<a/>"), QString("<a>")}) {
        TVxDBStructure m;
        TStringList in = TextLines(text);
        EXPECT_TRUE(ErrorMessage<EXMLDocumentError>([&] { LoadDMFromXml(m, in); }).startsWith("Line ")) << text;
    }
}
