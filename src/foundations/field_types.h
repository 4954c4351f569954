#pragma once
// The data type of a field: the 52 data-set field types, in their fixed order
// (the ordinal is part of the stored formats), with their names.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/set.h>

#include <QString>

namespace brindle {

enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat,
    ftCurrency, ftBCD, ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes,
    ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle,
    ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob,
    ftVariant, ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd,
    ftFixedWideChar, ftWideMemo, ftOraTimeStamp, ftOraInterval, ftLongWord,
    ftShortint, ftByte, ftExtended, ftConnection, ftParams, ftStream,
    ftTimeStampOffset, ftObject, ftSingle
};

inline constexpr int FieldTypeCount = ftSingle + 1;

using TFieldTypes = EnumSet<TFieldType>;
using TQuotedTypes = TFieldTypes;
using TAppliedTypes = TFieldTypes;

// "ftString" for ftString; the empty text for a value outside the type.
BRINDLE_CORE_EXPORT QString FldTypeToStr(TFieldType type);
// The type whose name equals the text, letter case ignored; -1 otherwise.
BRINDLE_CORE_EXPORT int StrToFldType(const QString& text);

} // namespace brindle
