#include <brindle/datamodel/sql_formats.h>

namespace brindle {

const TQuotedTypes TSQLFormats::DefaultQuotedTypes = {
    ftString, ftBoolean, ftDate, ftTime, ftDateTime, ftMemo,
    ftFmtMemo, ftFixedChar, ftWideString, ftTimeStamp};

QStringList FieldTypeNames(TFieldTypes types)
{
    QStringList names;
    for (int t = 0; t < FieldTypeCount; ++t)
        if (types.Contains(static_cast<TFieldType>(t)))
            names.append(FldTypeToStr(static_cast<TFieldType>(t)));
    return names;
}

TFieldTypes FieldTypesFromNames(const QStringList& names)
{
    TFieldTypes types;
    for (const QString& name : names) {
        const int t = StrToFldType(name.trimmed());
        if (t >= 0)
            types.Include(static_cast<TFieldType>(t));
    }
    return types;
}

TSQLFormats::TSQLFormats(QObject* parent) : QObject(parent) {}

bool TSQLFormats::QuoteBool() const { return FQuotedTypes.Contains(ftBoolean); }

void TSQLFormats::SetQuoteBool(bool v) { FQuotedTypes.Set(ftBoolean, v); }

bool TSQLFormats::QuoteDate() const { return FQuotedTypes.Contains(ftDate); }

void TSQLFormats::SetQuoteDate(bool v)
{
    for (TFieldType t : {ftDate, ftTime, ftDateTime, ftTimeStamp})
        FQuotedTypes.Set(t, v);
}

void TSQLFormats::Assign(const TSQLFormats& other)
{
    if (&other == this)
        return;
    FDate = other.FDate;
    FTime = other.FTime;
    FDateTime = other.FDateTime;
    FQuoteSymbol1 = other.FQuoteSymbol1;
    FQuoteSymbol2 = other.FQuoteSymbol2;
    FFalseValue = other.FFalseValue;
    FTrueValue = other.FTrueValue;
    FFullTableName = other.FFullTableName;
    SetQuoteBool(other.QuoteBool());
    SetQuoteDate(other.QuoteDate());
    FUseOuterKeyword = other.FUseOuterKeyword;
}

TDMOptions::TDMOptions(QObject* parent) : QObject(parent) {}

void TDMOptions::Assign(const TDMOptions& other)
{
    FMultiDB = other.FMultiDB;
    FDefaultDatabase = other.FDefaultDatabase;
    FDefaultDBOwner = other.FDefaultDBOwner;
    FStoreDBInfo = other.FStoreDBInfo;
}

} // namespace brindle
