#pragma once
// The message catalogue: every text the library shows or raises is looked up
// here by its identifier at the moment of use, so a translation installed by
// the host changes every later message. The English texts are the defaults.

#include <brindle/brindle_core_export.h>

#include <QHash>
#include <QString>

namespace brindle {

// Message identifiers (names as the public message table gives them).
inline constexpr int _SDBListCaption = 65488;
inline constexpr int _SFieldsListCaption = 65489;
inline constexpr int _SDBNotConnected = 65490;
inline constexpr int _SWrongSQL = 65491;
inline constexpr int _SLostBracket = 65492;
inline constexpr int _SQPENoEnoughInfo = 65493;
inline constexpr int _SQPEWrongLink = 65494;
inline constexpr int _SQPENoDBStruct = 65495;
inline constexpr int _SQPEInvalidFltrTitle = 65496;
inline constexpr int _SQPEInvalidStrFmt = 65497;
inline constexpr int _SQPEUnrecognizedField = 65498;
inline constexpr int _SQPEUnrecognizedOperator = 65499;
inline constexpr int _SQPEQueryWasNotBuilt = 65500;
inline constexpr int _ERRDbStructNotDefined = 65501;
inline constexpr int _ERRStructEmpty = 65502;
inline constexpr int _SDBSENoModelEditor = 65503;
inline constexpr int _SDBSEOperatorNotFound = 65504;
inline constexpr int _SDBSEAssignVirtFldName = 65505;
inline constexpr int _SDBSEAssignExpr = 65506;
inline constexpr int _SDBSECantFindSection = 65507;
inline constexpr int _SDBSECantFindFieldInTbl = 65508;
inline constexpr int _SDBSEDbInfoNotSpecified = 65509;
inline constexpr int _SUnrecognizedField = 65510;
inline constexpr int _SUnrecognizedOperator = 65511;
inline constexpr int _SUnrecognizedCondition = 65512;
inline constexpr int _ERRStructNotSpecified = 65513;
inline constexpr int _ERRDBInfoNotSpecified = 65514;
inline constexpr int _SNotConnected = 65515;
inline constexpr int _STableNotFound = 65516;
inline constexpr int _SFullScreenMode = 65517;
inline constexpr int _SEditLink = 65518;
inline constexpr int _STableViewListCaption = 65519;
inline constexpr int _SError = 65520;
inline constexpr int _SDeleteTable = 65521;
inline constexpr int _SDeleteField = 65522;
inline constexpr int _SDeleteLink = 65523;
inline constexpr int _SDeleteOperator = 65524;
inline constexpr int _SDeleteCondition = 65525;
inline constexpr int _SDeleteAllOperators = 65526;
inline constexpr int _SDeleteGroup = 65527;
inline constexpr int _SClearStructure = 65528;
inline constexpr int _SSEENoTable = 65529;
inline constexpr int _SAndConj = 65530;
inline constexpr int _SDBSEInvalidTableIndex = 65531;
inline constexpr int _SDBSEInvalidLinkIndex = 65532;
inline constexpr int _SDBSEInvalidOperatorIndex = 65533;
inline constexpr int _SDBSENoTable = 65534;
inline constexpr int _SDBSENoPath = 65535;

// The text of a message: the installed translation's text when it has one,
// else the English default; the empty text for an unknown identifier.
BRINDLE_CORE_EXPORT QString LoadResString(int id);

// The English default of a message, whatever translation is installed.
BRINDLE_CORE_EXPORT QString DefaultResString(int id);

// Installs a translation: identifiers it holds take its texts, the others
// keep their defaults. An empty translation restores all defaults.
BRINDLE_CORE_EXPORT void SetMessageTranslation(const QHash<int, QString>& texts);

// Installs as the translation what the application's installed translators
// give the English defaults (context "brindle::Messages"); with none that
// knows them, every default comes back.
BRINDLE_CORE_EXPORT void TranslateMessages();

} // namespace brindle
