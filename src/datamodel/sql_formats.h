#pragma once
// TSQLFormats: how SQL text is written for the model's database (literal
// formats, identifier quotes, Boolean texts, table-name template, quoted
// types). TDMOptions: the model's multi-database options. Both are owned by
// the data model and published as its SQLFormats and DMOptions.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/field_types.h>

#include <QObject>
#include <QString>
#include <QStringList>

namespace brindle {

// Names of the field types in a set, in type order, and the inverse (names
// that are no type are skipped).
BRINDLE_CORE_EXPORT QStringList FieldTypeNames(TFieldTypes types);
BRINDLE_CORE_EXPORT TFieldTypes FieldTypesFromNames(const QStringList& names);

class BRINDLE_CORE_EXPORT TSQLFormats : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Date READ Date WRITE SetDate)
    Q_PROPERTY(QString Time READ Time WRITE SetTime)
    Q_PROPERTY(QString DateTime READ DateTime WRITE SetDateTime)
    Q_PROPERTY(QString QuoteSymbol1 READ quoteSymbol1Text WRITE setQuoteSymbol1Text)
    Q_PROPERTY(QString QuoteSymbol2 READ quoteSymbol2Text WRITE setQuoteSymbol2Text)
    Q_PROPERTY(QString FalseValue READ FalseValue WRITE SetFalseValue)
    Q_PROPERTY(QString TrueValue READ TrueValue WRITE SetTrueValue)
    Q_PROPERTY(QString FullTableName READ FullTableName WRITE SetFullTableName)
    Q_PROPERTY(QStringList QuotedTypes READ quotedTypeNames WRITE setQuotedTypeNames)
    Q_PROPERTY(bool UseOuterKeyword READ UseOuterKeyword WRITE SetUseOuterKeyword)
    Q_PROPERTY(QString LowerFunc READ LowerFunc WRITE SetLowerFunc)
    Q_PROPERTY(QString WildcardChar READ wildcardCharText WRITE setWildcardCharText)
    Q_PROPERTY(bool UseAsInFrom READ UseAsInFrom WRITE SetUseAsInFrom)

public:
    static const TQuotedTypes DefaultQuotedTypes;

    explicit TSQLFormats(QObject* parent = nullptr);

    const QString& Date() const { return FDate; }
    void SetDate(const QString& v) { FDate = v; }
    const QString& Time() const { return FTime; }
    void SetTime(const QString& v) { FTime = v; }
    const QString& DateTime() const { return FDateTime; }
    void SetDateTime(const QString& v) { FDateTime = v; }
    QChar QuoteSymbol1() const { return FQuoteSymbol1; }
    void SetQuoteSymbol1(QChar c) { FQuoteSymbol1 = c; }
    QChar QuoteSymbol2() const { return FQuoteSymbol2; }
    void SetQuoteSymbol2(QChar c) { FQuoteSymbol2 = c; }
    const QString& FalseValue() const { return FFalseValue; }
    void SetFalseValue(const QString& v) { FFalseValue = v; }
    const QString& TrueValue() const { return FTrueValue; }
    void SetTrueValue(const QString& v) { FTrueValue = v; }
    const QString& FullTableName() const { return FFullTableName; }
    void SetFullTableName(const QString& v) { FFullTableName = v; }
    TQuotedTypes QuotedTypes() const { return FQuotedTypes; }
    void SetQuotedTypes(TQuotedTypes v) { FQuotedTypes = v; }
    bool UseOuterKeyword() const { return FUseOuterKeyword; }
    void SetUseOuterKeyword(bool v) { FUseOuterKeyword = v; }
    const QString& LowerFunc() const { return FLowerFunc; }
    void SetLowerFunc(const QString& v) { FLowerFunc = v; }
    QChar WildcardChar() const { return FWildcardChar; }
    void SetWildcardChar(QChar c) { FWildcardChar = c; }
    bool UseAsInFrom() const { return FUseAsInFrom; }
    void SetUseAsInFrom(bool v) { FUseAsInFrom = v; }

    // ftBoolean in the quoted types.
    bool QuoteBool() const;
    void SetQuoteBool(bool v);
    // ftDate in the quoted types; setting moves the four date and time types together.
    bool QuoteDate() const;
    void SetQuoteDate(bool v);

    // Copies the formats the model text carries; LowerFunc, WildcardChar,
    // UseAsInFrom and the other quoted types of this object stay.
    void Assign(const TSQLFormats& other);

private:
    QString quoteSymbol1Text() const { return QString(FQuoteSymbol1); }
    void setQuoteSymbol1Text(const QString& v) { FQuoteSymbol1 = v.isEmpty() ? QChar() : v.at(0); }
    QString quoteSymbol2Text() const { return QString(FQuoteSymbol2); }
    void setQuoteSymbol2Text(const QString& v) { FQuoteSymbol2 = v.isEmpty() ? QChar() : v.at(0); }
    QString wildcardCharText() const { return QString(FWildcardChar); }
    void setWildcardCharText(const QString& v) { FWildcardChar = v.isEmpty() ? QChar() : v.at(0); }
    QStringList quotedTypeNames() const { return FieldTypeNames(FQuotedTypes); }
    void setQuotedTypeNames(const QStringList& v) { FQuotedTypes = FieldTypesFromNames(v); }

    QString FDate;
    QString FTime;
    QString FDateTime;
    QChar FQuoteSymbol1 = u'"';
    QChar FQuoteSymbol2 = u'"';
    QString FFalseValue = QStringLiteral("false");
    QString FTrueValue = QStringLiteral("true");
    QString FFullTableName = QStringLiteral("DB.OWNER.TABLE");
    TQuotedTypes FQuotedTypes = DefaultQuotedTypes;
    bool FUseOuterKeyword = true;
    QString FLowerFunc = QStringLiteral("LOWER");
    QChar FWildcardChar = u'%';
    bool FUseAsInFrom = false;
};

class BRINDLE_CORE_EXPORT TDMOptions : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool MultiDB READ MultiDB WRITE SetMultiDB)
    Q_PROPERTY(QString DefaultDatabase READ DefaultDatabase WRITE SetDefaultDatabase)
    Q_PROPERTY(QString DefaultDBOwner READ DefaultDBOwner WRITE SetDefaultDBOwner)
    Q_PROPERTY(bool StoreDBInfo READ StoreDBInfo WRITE SetStoreDBInfo)

public:
    explicit TDMOptions(QObject* parent = nullptr);

    bool MultiDB() const { return FMultiDB; }
    void SetMultiDB(bool v) { FMultiDB = v; }
    const QString& DefaultDatabase() const { return FDefaultDatabase; }
    void SetDefaultDatabase(const QString& v) { FDefaultDatabase = v; }
    const QString& DefaultDBOwner() const { return FDefaultDBOwner; }
    void SetDefaultDBOwner(const QString& v) { FDefaultDBOwner = v; }
    bool StoreDBInfo() const { return FStoreDBInfo; }
    void SetStoreDBInfo(bool v) { FStoreDBInfo = v; }

    void Assign(const TDMOptions& other);

private:
    bool FMultiDB = false;
    QString FDefaultDatabase;
    QString FDefaultDBOwner;
    bool FStoreDBInfo = true;
};

} // namespace brindle
