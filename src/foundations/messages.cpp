#include <brindle/foundations/messages.h>

namespace brindle {
namespace {

struct DefaultText {
    int id;
    const char16_t* text;
};

constexpr DefaultText kDefaults[] = {
    {_SDBListCaption, u"Databases"},
    {_SFieldsListCaption, u"Fields"},
    {_SDBNotConnected, u"Database not connected"},
    {_SWrongSQL, u"Wrong SQL statement"},
    {_SLostBracket, u"Lost bracket"},
    {_SQPENoEnoughInfo, u"Not enough information for building query"},
    {_SQPEWrongLink, u"Can't add result table: wrong link"},
    {_SQPENoDBStruct, u"DBStruct is not specified"},
    {_SQPEInvalidFltrTitle, u"Invalid filter title"},
    {_SQPEInvalidStrFmt, u"Invalid string format"},
    {_SQPEUnrecognizedField, u"Unrecognized field \"%s\""},
    {_SQPEUnrecognizedOperator, u"Unrecognized operator \"%s\""},
    {_SQPEQueryWasNotBuilt, u"Query was not built properly"},
    {_ERRDbStructNotDefined, u"DBStructure is not specified"},
    {_ERRStructEmpty, u"Structure is empty"},
    {_SDBSENoModelEditor, u"No data model editor is installed: the host must call brindle::InstallDataModelEditor() of the widgets library (brindle_widgets) before EditStructure"},
    {_SDBSEOperatorNotFound, u"Operator not found: %s"},
    {_SDBSEAssignVirtFldName, u"Can not assign field name to virtual field"},
    {_SDBSEAssignExpr, u"Can not assign expression to data field"},
    {_SDBSECantFindSection, u"Can not find section %s"},
    {_SDBSECantFindFieldInTbl, u"Can not find field \"%s\" in table \"%s\""},
    {_SDBSEDbInfoNotSpecified, u"DatabaseInfo is not specified"},
    {_SUnrecognizedField, u"Unrecognized field"},
    {_SUnrecognizedOperator, u"Unrecognized operator"},
    {_SUnrecognizedCondition, u"Unrecognized condition"},
    {_ERRStructNotSpecified, u"Structure is not specified"},
    {_ERRDBInfoNotSpecified, u"Database info component is not specified"},
    {_SNotConnected, u"<Not connected>"},
    {_STableNotFound, u"<Table not found>"},
    {_SFullScreenMode, u"Full screen mode"},
    {_SEditLink, u"Edit link"},
    {_STableViewListCaption, u"Tables/Views list"},
    {_SError, u"Error"},
    {_SDeleteTable, u"Delete table?"},
    {_SDeleteField, u"Delete field?"},
    {_SDeleteLink, u"Delete Link?"},
    {_SDeleteOperator, u"Delete operator?"},
    {_SDeleteCondition, u"Delete condition?"},
    {_SDeleteAllOperators, u"Delete all operators?"},
    {_SDeleteGroup, u"Delete group?"},
    {_SClearStructure, u"Clear Structure?"},
    {_SSEENoTable, u"Can't locate table"},
    {_SAndConj, u"and"},
    {_SDBSEInvalidTableIndex, u"Invalid table index %d"},
    {_SDBSEInvalidLinkIndex, u"Invalid link index %d"},
    {_SDBSEInvalidOperatorIndex, u"Invalid operator index %d"},
    {_SDBSENoTable, u"No such table %s"},
    {_SDBSENoPath, u"Can not find path between tables"},
};

// The library runs on one thread (the host's user-interface thread), so the
// installed translation is plain process state.
QHash<int, QString>& translation()
{
    static QHash<int, QString> texts;
    return texts;
}

} // namespace

QString DefaultResString(int id)
{
    for (const DefaultText& d : kDefaults)
        if (d.id == id)
            return QString::fromUtf16(d.text);
    return {};
}

QString LoadResString(int id)
{
    const auto& t = translation();
    const auto it = t.constFind(id);
    if (it != t.constEnd())
        return it.value();
    return DefaultResString(id);
}

void SetMessageTranslation(const QHash<int, QString>& texts)
{
    translation() = texts;
}

} // namespace brindle
