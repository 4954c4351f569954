#pragma once
// The data model as an XML document. The writer and the reader do not form
// an exact pair: each follows the format's own side, and what one writes is
// not always what the other looks for.
//
// SaveDMToXml writes, under <DataModel formatVersion="3"> (which also gets
// caseInsensitiveLike="true" when the model has that option): DBParams (one
// element per name=value line of the database info's SaveInfo, none without
// a database info), Description, CustomInfo (DSN, UserName and Password: the
// texts under those keys when the model's CustomInfo.Data is a map, which
// is where the reader puts them), Operators, Tables, Links (a pair's side
// typed "C" when it is a "val:" value, "F" otherwise), and Entities, which
// holds the root group's fields as Attr elements and one Entity element per
// named group. Operator templates are written with "{expr1}", "{expr2}" and
// "{expr3}"; a value placeholder takes the single-quoted token around it
// along, so "@f like '%@1%'" becomes "{expr1} like {expr2}". Booleans are
// "true" and "false". Characters XML cannot carry are left out, and
// DBParams lines whose name is no XML name are skipped.
//
// LoadDMFromXml first clears the structure and the operator catalogue, then
// reads the document element's caseInsensitiveLike attribute and its children OPTIONS/DBINFO, DBPARAMS,
// DESCRIPTION, CUSTOMINFO, OPERATORS, TABLES, LINKS and ENTITIES, element
// and attribute names compared without regard to letter case. Where it
// differs from the writer:
// - in ENTITIES only elements named exactly "GROUP" are groups; every other
//   element, Entity included, is a field, whose ID and SIZE must be integers
//   (EConvertError otherwise, the load stopping there): the writer's named
//   groups, having neither, stop a load;
// - the NAME of ENTITIES names the root group, so it reads as "Root entity";
// - a link pair's side is a value ("val:") only for the letter "E", so the
//   writer's "C" reads back as a field ("fld:");
// - a field's table is its TABLE attribute (the writer writes "tables");
// - the kind "Query" reads as vkScalar, only "List" and "SubQuery" count;
// - the value format is the text between "{expr1}" and "{expr2}" of
//   "format", so "{expr1} {op} {expr2} and {expr3}" reads as "{op}";
// - DBPARAMS values have %NAME% references expanded from the environment
//   (see ExpandEnvironmentStrings).
// Booleans read as XStrToBool reads them. A field's UIC goes through
// SetUseInConditions, so a true UIC gives the field its type's operators
// before those its OPERATORS list names are added. Table names in links and
// fields are looked up as aliases, then as table names. A field joins its
// model as AddFieldRef adds it, so a database info decides a data field's
// type and size; without one the field keeps those it was read with. Text
// that is only white space reads as empty.
//
// The document is read into a flat tree and groups are walked with a stack
// of the reader's own, so nesting costs no call stack. A document that uses
// only elements, attributes, plain text and the usual references is read by
// a pass of the reader's own; any other goes through the XML layer, which
// builds the same tree. Before the XML layer sees it, the text
// is checked for what would make the XML layer slow: a document type
// declaration (whose entities could expand into unchecked markup) and an
// element with more than XmlMaxAttributes attributes. Both are refused with
// EXMLDocumentError, as is text that is not well-formed XML; the model has
// been cleared by then.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/db_structure.h>

namespace brindle {

// XML that the reader refuses: "Line L, column C: " and the XML layer's
// message (or the check's before it).
BRINDLE_DECLARE_EXCEPTION(EXMLDocumentError, Exception)

inline constexpr int XmlMaxAttributes = 256;

// Empties the lines and writes the model's XML document into them, one line
// of the indented document a list line.
BRINDLE_CORE_EXPORT void SaveDMToXml(TVxCustomDBStructure& model, TStringList& lines);
// Replaces the model's content by what the XML document in the lines holds.
BRINDLE_CORE_EXPORT void LoadDMFromXml(TVxCustomDBStructure& model, TStringList& lines);

// Every %NAME% whose NAME is a variable of the process environment replaced
// by its value (an empty value included). A reference to an unknown
// variable, an empty one ("%%") and an unterminated "%" stay as written; the
// closing "%" of an unknown reference may open the next one.
BRINDLE_CORE_EXPORT QString ExpandEnvironmentStrings(const QString& text);

} // namespace brindle
