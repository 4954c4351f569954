#include <brindle/foundations/messages.h>

#include <QCoreApplication>

namespace brindle {
namespace {

struct DefaultText {
    int id;
    const char* text;
};

constexpr DefaultText kDefaults[] = {
    {_SDBListCaption, QT_TRANSLATE_NOOP("brindle::Messages", "Databases")},
    {_SFieldsListCaption, QT_TRANSLATE_NOOP("brindle::Messages", "Fields")},
    {_SDBNotConnected, QT_TRANSLATE_NOOP("brindle::Messages", "Database not connected")},
    {_SWrongSQL, QT_TRANSLATE_NOOP("brindle::Messages", "Wrong SQL statement")},
    {_SLostBracket, QT_TRANSLATE_NOOP("brindle::Messages", "Lost bracket")},
    {_SQPENoEnoughInfo, QT_TRANSLATE_NOOP("brindle::Messages", "Not enough information for building query")},
    {_SQPEWrongLink, QT_TRANSLATE_NOOP("brindle::Messages", "Can't add result table: wrong link")},
    {_SQPENoDBStruct, QT_TRANSLATE_NOOP("brindle::Messages", "DBStruct is not specified")},
    {_SQPEInvalidFltrTitle, QT_TRANSLATE_NOOP("brindle::Messages", "Invalid filter title")},
    {_SQPEInvalidStrFmt, QT_TRANSLATE_NOOP("brindle::Messages", "Invalid string format")},
    {_SQPEUnrecognizedField, QT_TRANSLATE_NOOP("brindle::Messages", "Unrecognized field \"%s\"")},
    {_SQPEUnrecognizedOperator, QT_TRANSLATE_NOOP("brindle::Messages", "Unrecognized operator \"%s\"")},
    {_SQPEQueryWasNotBuilt, QT_TRANSLATE_NOOP("brindle::Messages", "Query was not built properly")},
    {_ERRDbStructNotDefined, QT_TRANSLATE_NOOP("brindle::Messages", "DBStructure is not specified")},
    {_ERRStructEmpty, QT_TRANSLATE_NOOP("brindle::Messages", "Structure is empty")},
    {_SDBSENoModelEditor, QT_TRANSLATE_NOOP("brindle::Messages", "No data model editor is installed: the host must call brindle::InstallDataModelEditor() of the widgets library (brindle_widgets) before EditStructure")},
    {_SDBSEOperatorNotFound, QT_TRANSLATE_NOOP("brindle::Messages", "Operator not found: %s")},
    {_SDBSEAssignVirtFldName, QT_TRANSLATE_NOOP("brindle::Messages", "Can not assign field name to virtual field")},
    {_SDBSEAssignExpr, QT_TRANSLATE_NOOP("brindle::Messages", "Can not assign expression to data field")},
    {_SDBSECantFindSection, QT_TRANSLATE_NOOP("brindle::Messages", "Can not find section %s")},
    {_SDBSECantFindFieldInTbl, QT_TRANSLATE_NOOP("brindle::Messages", "Can not find field \"%s\" in table \"%s\"")},
    {_SDBSEDbInfoNotSpecified, QT_TRANSLATE_NOOP("brindle::Messages", "DatabaseInfo is not specified")},
    {_SUnrecognizedField, QT_TRANSLATE_NOOP("brindle::Messages", "Unrecognized field")},
    {_SUnrecognizedOperator, QT_TRANSLATE_NOOP("brindle::Messages", "Unrecognized operator")},
    {_SUnrecognizedCondition, QT_TRANSLATE_NOOP("brindle::Messages", "Unrecognized condition")},
    {_ERRStructNotSpecified, QT_TRANSLATE_NOOP("brindle::Messages", "Structure is not specified")},
    {_ERRDBInfoNotSpecified, QT_TRANSLATE_NOOP("brindle::Messages", "Database info component is not specified")},
    {_SNotConnected, QT_TRANSLATE_NOOP("brindle::Messages", "<Not connected>")},
    {_STableNotFound, QT_TRANSLATE_NOOP("brindle::Messages", "<Table not found>")},
    {_SFullScreenMode, QT_TRANSLATE_NOOP("brindle::Messages", "Full screen mode")},
    {_SEditLink, QT_TRANSLATE_NOOP("brindle::Messages", "Edit link")},
    {_STableViewListCaption, QT_TRANSLATE_NOOP("brindle::Messages", "Tables/Views list")},
    {_SError, QT_TRANSLATE_NOOP("brindle::Messages", "Error")},
    {_SDeleteTable, QT_TRANSLATE_NOOP("brindle::Messages", "Delete table?")},
    {_SDeleteField, QT_TRANSLATE_NOOP("brindle::Messages", "Delete field?")},
    {_SDeleteLink, QT_TRANSLATE_NOOP("brindle::Messages", "Delete Link?")},
    {_SDeleteOperator, QT_TRANSLATE_NOOP("brindle::Messages", "Delete operator?")},
    {_SDeleteCondition, QT_TRANSLATE_NOOP("brindle::Messages", "Delete condition?")},
    {_SDeleteAllOperators, QT_TRANSLATE_NOOP("brindle::Messages", "Delete all operators?")},
    {_SDeleteGroup, QT_TRANSLATE_NOOP("brindle::Messages", "Delete group?")},
    {_SClearStructure, QT_TRANSLATE_NOOP("brindle::Messages", "Clear Structure?")},
    {_SSEENoTable, QT_TRANSLATE_NOOP("brindle::Messages", "Can't locate table")},
    {_SAndConj, QT_TRANSLATE_NOOP("brindle::Messages", "and")},
    {_SDBSEInvalidTableIndex, QT_TRANSLATE_NOOP("brindle::Messages", "Invalid table index %d")},
    {_SDBSEInvalidLinkIndex, QT_TRANSLATE_NOOP("brindle::Messages", "Invalid link index %d")},
    {_SDBSEInvalidOperatorIndex, QT_TRANSLATE_NOOP("brindle::Messages", "Invalid operator index %d")},
    {_SDBSENoTable, QT_TRANSLATE_NOOP("brindle::Messages", "No such table %s")},
    {_SDBSENoPath, QT_TRANSLATE_NOOP("brindle::Messages", "Can not find path between tables")},
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
            return QString::fromUtf8(d.text);
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

void TranslateMessages()
{
    QHash<int, QString> texts;
    for (const DefaultText& d : kDefaults) {
        const QString text = QCoreApplication::translate("brindle::Messages", d.text);
        if (text != QLatin1String(d.text))
            texts.insert(d.id, text);
    }
    SetMessageTranslation(texts);
}

} // namespace brindle
