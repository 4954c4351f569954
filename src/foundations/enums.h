#pragma once
// The enumerations and sets shared across the library. The ordinal of a value
// is its position from 0; the text formats store the values by name.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/set.h>

#include <QString>

namespace brindle {

enum TVxFieldKind { kfkData, kfkVirtual };
enum TValueType { vtInteger, vtFloat, vtString };
enum TValueKind { vkScalar, vkList, vkSubQuery };
enum TDSEditType { etAuto, etEdit, etList, etCustom, etSQL };
enum TTextEditorKind { tekSimple, tekMask, tekDate, tekTime };
enum TDSLinkType { ltInner, ltOuterLeft, ltOuterRight, ltOuterFull };
enum TExOperator { xoInList, xoBetween, xoStartsWith, xoContains };
enum TDMEButton { dmbOpenSave, dmbConnect };
enum TSQLSyntax { ssSQL1, ssSQL2, ssOracle, ssAccess, ssNexusDB, ssPostgreSQL, ssSQLite, ssMySQL, ssMSSQL };
enum TSQLOption {
    soASCIIRFields, soSelectDistinct, soQuoteAliases, soBracketJoins,
    soBracketConditions, soSortByNames, soFilter
};
enum TSortingType { stNoSort, stAscending, stDescending };
enum TFilterLinkType { fltAll, fltAny, fltNone, fltNotAll };
enum TFilterRowType { frtSimpleCondition, frtBracket, frtCustomCondition };

using TExOperators = EnumSet<TExOperator>;
using TDMEButtons = EnumSet<TDMEButton>;
using TSQLOptions = EnumSet<TSQLOption>;
using TFilterLinkTypes = EnumSet<TFilterLinkType>;

// "kfkData" / "kfkVirtual"; the inverse ignores letter case, -1 for no name.
BRINDLE_CORE_EXPORT QString FldKindToStr(TVxFieldKind kind);
BRINDLE_CORE_EXPORT int StrToFldKind(const QString& text);

// "vkScalar" / "vkList" / "vkSubQuery"; the inverse as above.
BRINDLE_CORE_EXPORT QString ValueKindToStr(TValueKind kind);
BRINDLE_CORE_EXPORT int StrToValueKind(const QString& text);

// Names of the other enumerations, for formats and the command line that
// store them by name; the inverses ignore letter case and give -1 for no name.
BRINDLE_CORE_EXPORT QString EditTypeToStr(TDSEditType type);
BRINDLE_CORE_EXPORT int StrToEditType(const QString& text);
BRINDLE_CORE_EXPORT QString LinkTypeToStr(TDSLinkType type);
BRINDLE_CORE_EXPORT int StrToLinkType(const QString& text);
BRINDLE_CORE_EXPORT QString ExOperatorToStr(TExOperator op);
BRINDLE_CORE_EXPORT int StrToExOperator(const QString& text);
BRINDLE_CORE_EXPORT QString SQLSyntaxToStr(TSQLSyntax syntax);
BRINDLE_CORE_EXPORT int StrToSQLSyntax(const QString& text);
BRINDLE_CORE_EXPORT QString SQLOptionToStr(TSQLOption option);
BRINDLE_CORE_EXPORT int StrToSQLOption(const QString& text);

} // namespace brindle
