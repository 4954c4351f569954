// brindle convert and the model XML on the command line: a model document
// read by every command, turned into model text that builds the same SQL,
// and the sample model written as XML.

#include "support/tool_process.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using toolrun::Outcome;
using toolrun::runTool;

// A model in the names the XML reader looks for: groups as GROUP, a field's
// table as TABLE, quotes kept in the templates.
const char* const kModelXml = R"(<?xml version="1.0"?>
<DataModel formatVersion="3">
  <Operators>
    <Operator id="Equal" caption="is" expr="{expr1} = '{expr2}'" format="{expr1} {op} {expr2}"><Types>String</Types></Operator>
  </Operators>
  <Tables><Table name="Customers" alias="Cust"/><Table name="Orders" alias="Ord"/></Tables>
  <Links><Link table1="Ord" table2="Cust" type="Left"><Condition expr1="CustomerID" expr2="CustomerID" op="="/></Link></Links>
  <Entities>
    <GROUP name="Customer">
      <Attr id="1" expr="CompanyName" caption="Customer" type="String" size="40" UIR="true" TABLE="Cust"/>
      <Attr id="2" expr="Country" caption="Country" type="String" size="20" TABLE="Cust"><Operators>Equal</Operators></Attr>
    </GROUP>
    <Attr id="3" expr="Freight" caption="Freight" type="Int" size="4" UIR="true" TABLE="Ord"/>
  </Entities>
</DataModel>
)";

const char* const kStatement = "SELECT Cust.CompanyName as Customer, Ord.Freight as Freight\n"
                               "FROM Orders Ord LEFT OUTER JOIN Customers Cust ON (Ord.CustomerID=Cust.CustomerID)\n"
                               "WHERE Cust.Country = 'United Kingdom'\n";

QString written(const QTemporaryDir& dir, const char* name, const QByteArray& text)
{
    QFile f(dir.filePath(QLatin1String(name)));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    return f.fileName();
}

} // namespace

TEST(Convert, XmlModelReadsAsItsText)
{
    QTemporaryDir dir;
    const QString xml = written(dir, "model.xml", kModelXml);
    const QString sql = written(dir, "query.sql", kStatement);

    const Outcome text = runTool({"convert", "--model", xml, "--to", "text"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const QString dbs = written(dir, "model.dbs", QByteArray::fromStdString(text.out));
    EXPECT_EQ(runTool({"convert", "--model", "-", "--to", "text"}, kModelXml).out, text.out);

    const Outcome query = runTool({"import", "--model", xml, "--sql", sql});
    ASSERT_EQ(query.exitCode, 0) << query.err;
    const QString qry = written(dir, "query.qry", QByteArray::fromStdString(query.out));
    const Outcome fromXml = runTool({"sql", "--model", xml, "--query", qry});
    EXPECT_EQ(fromXml.exitCode, 0) << fromXml.err;
    EXPECT_EQ(fromXml.out, "SELECT DISTINCT Cust.CompanyName as Customer, Ord.Freight\n"
                           "FROM \n"
                           "     Customers Cust RIGHT OUTER JOIN  Orders Ord ON (Ord.CustomerID=Cust.CustomerID)\n"
                           "     \n"
                           "WHERE\n"
                           "(\n"
                           "Cust.Country = 'United Kingdom'\n"
                           ")\n");
    EXPECT_EQ(runTool({"sql", "--model", dbs, "--query", qry}).out, fromXml.out);
}

TEST(Convert, SampleModelAsXml)
{
    const Outcome xml = runTool({"convert", "--model", BRINDLE_SAMPLE_MODEL, "--to", "xml"});
    ASSERT_EQ(xml.exitCode, 0) << xml.err;
    const QString out = QString::fromStdString(xml.out);
    const QStringList lines = out.split(u'\n');
    EXPECT_EQ(lines.value(0), "<?xml version=\"1.0\"?>");
    EXPECT_EQ(lines.value(1), "<DataModel formatVersion=\"3\">");
    EXPECT_EQ(out.count(QStringLiteral("<Attr ")), 39);
    EXPECT_EQ(out.count(QStringLiteral("<Entity ")), 9);

    // The writer's named groups are Entity elements, which the reader takes
    // for fields without an id: the sample's XML does not read back.
    QTemporaryDir dir;
    const Outcome back =
        runTool({"convert", "--model", written(dir, "sample.xml", QByteArray::fromStdString(xml.out)), "--to", "text"});
    EXPECT_EQ(back.exitCode, 1);
    EXPECT_EQ(back.err, "brindle: EConvertError: '' is not a valid integer value\n");

    const Outcome bad = runTool({"convert", "--model", BRINDLE_SAMPLE_MODEL, "--to", "json"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err.rfind("brindle: unknown format \"json\" (text or xml)\n", 0), 0u) << bad.err;
}
