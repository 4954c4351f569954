#include <brindle/foundations/field_types.h>

#include <array>

namespace brindle {
namespace {

constexpr std::array<const char*, FieldTypeCount> kNames = {
    "ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat",
    "ftCurrency", "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes",
    "ftAutoInc", "ftBlob", "ftMemo", "ftGraphic", "ftFmtMemo", "ftParadoxOle",
    "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar", "ftWideString",
    "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob",
    "ftVariant", "ftInterface", "ftIDispatch", "ftGuid", "ftTimeStamp", "ftFMTBcd",
    "ftFixedWideChar", "ftWideMemo", "ftOraTimeStamp", "ftOraInterval", "ftLongWord",
    "ftShortint", "ftByte", "ftExtended", "ftConnection", "ftParams", "ftStream",
    "ftTimeStampOffset", "ftObject", "ftSingle"};

} // namespace

QString FldTypeToStr(TFieldType type)
{
    const int n = static_cast<int>(type);
    if (n < 0 || n >= FieldTypeCount)
        return {};
    return QString::fromLatin1(kNames[n]);
}

int StrToFldType(const QString& text)
{
    for (int i = 0; i < FieldTypeCount; ++i)
        if (text.compare(QLatin1String(kNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace brindle
