// The default operator catalogue, its families and its captions.

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>

#include <QCoreApplication>

namespace brindle {

const TFieldTypes BrCommonTypes = {
    ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate,
    ftTime, ftDateTime, ftAutoInc, ftFixedChar, ftWideString, ftLargeint, ftTimeStamp};
const TFieldTypes BrComparableTypes = BrCommonTypes - TFieldTypes{ftBoolean};
const TFieldTypes BrNullableTypes = BrCommonTypes + TFieldTypes{ftMemo, ftFmtMemo};
const TFieldTypes BrStringTypes = {ftString, ftMemo, ftFmtMemo, ftFixedChar, ftWideString};
const TFieldTypes BrDateTimeTypes = {ftDate, ftTime, ftDateTime, ftTimeStamp};
const TFieldTypes BrFloatTypes = {ftFloat, ftCurrency};
const TFieldTypes BrUsedTypes = BrCommonTypes + TFieldTypes{ftMemo, ftFmtMemo};

namespace {

struct DefaultOperator {
    const char* name;
    const char* caption;
    const char* sql;
};

// In catalogue order; the families follow the seven that are always there.
constexpr DefaultOperator kDefaults[] = {
    {"Equal", QT_TRANSLATE_NOOP("brindle::Operators", "is equal to"), "@f = '@1'"},
    {"NotEqual", QT_TRANSLATE_NOOP("brindle::Operators", "is not equal to"), "@f <> '@1'"},
    {"LessThan", QT_TRANSLATE_NOOP("brindle::Operators", "is less than"), "@f < '@1'"},
    {"LessOrEqual", QT_TRANSLATE_NOOP("brindle::Operators", "is less than or equal to"), "@f <= '@1'"},
    {"GreaterThan", QT_TRANSLATE_NOOP("brindle::Operators", "is greater than"), "@f >'@1'"},
    {"GreaterOrEqual", QT_TRANSLATE_NOOP("brindle::Operators", "is greater than or equal to"), "@f >= '@1'"},
    {"IsNull", QT_TRANSLATE_NOOP("brindle::Operators", "is null"), "@f is null"},
    {"InList", QT_TRANSLATE_NOOP("brindle::Operators", "is in list"), "@f in (@1)"},
    {"NotInList", QT_TRANSLATE_NOOP("brindle::Operators", "is not in list"), "NOT (@f in (@1))"},
    {"StartsWith", QT_TRANSLATE_NOOP("brindle::Operators", "starts with"), "@f like '@1%'"},
    {"NotStartsWith", QT_TRANSLATE_NOOP("brindle::Operators", "does not start with"), "not(@f like '@1%')"},
    {"Contains", QT_TRANSLATE_NOOP("brindle::Operators", "contains"), "@f like '%@1%'"},
    {"NotContains", QT_TRANSLATE_NOOP("brindle::Operators", "does not contain"), "not(@f like '%@1%')"},
    {"Between", QT_TRANSLATE_NOOP("brindle::Operators", "is between"), "@f between '@1' and '@2'"},
    {"NotBetween", QT_TRANSLATE_NOOP("brindle::Operators", "is not between"), "NOT (@f between '@1' and '@2')"},
};

// The caption in the language of the application's installed translators.
QString captionOf(const DefaultOperator& d)
{
    return QCoreApplication::translate("brindle::Operators", d.caption);
}

enum : int { kInList = 7, kStartsWith = 9, kContains = 11, kBetween = 13 };

TFieldTypes appliedTypesOf(int index)
{
    if (index <= 1 || index == kInList || index == kInList + 1)
        return BrCommonTypes;
    if (index == 6)
        return BrNullableTypes;
    if (index >= kStartsWith && index < kBetween)
        return BrStringTypes;
    return BrComparableTypes;
}

} // namespace

int TVxCustomDBStructure::AddOperator(const QString& name, const QString& displayName,
                                      const QString& sqlExpr, const QString& valFormat,
                                      TAppliedTypes appliedTypes)
{
    auto op = std::make_unique<TDSOperator>();
    InitOperator(op.get(), name, displayName, sqlExpr, valFormat, appliedTypes);
    return AddOperatorRef(std::move(op));
}

int TVxCustomDBStructure::AddUpdateOperator(bool onlyIfAbsent, const QString& name,
                                            const QString& displayName, const QString& sqlExpr,
                                            const QString& valFormat, TAppliedTypes appliedTypes)
{
    if (onlyIfAbsent) {
        const int index = OperatorIndexByName(name);
        if (index >= 0)
            return index;
    }
    return AddOperator(name, displayName, sqlExpr, valFormat, appliedTypes);
}

void TVxCustomDBStructure::InitOperator(TDSOperator* op, const QString& name,
                                        const QString& displayName, const QString& sqlExpr,
                                        const QString& valFormat, TAppliedTypes appliedTypes)
{
    op->SetName(name);
    op->SetDisplayName(displayName);
    op->SetSQLExpr(sqlExpr);
    op->SetValFormat(valFormat);
    op->AppliedTypes = appliedTypes;
}

void TVxCustomDBStructure::AddDefOperators(bool onlyIfAbsent)
{
    auto add = [&](int index) {
        const DefaultOperator& d = kDefaults[index];
        const QString name = QString::fromLatin1(d.name);
        const QString format = index >= kBetween ? LoadResString(_SAndConj) : QString();
        return AddUpdateOperator(onlyIfAbsent, name, GetDefOperator(name), QString::fromLatin1(d.sql),
                                 format, appliedTypesOf(index));
    };
    for (int i = 0; i < kInList; ++i)
        add(i);
    if (FExOperators.Contains(xoInList)) {
        Operators(add(kInList))->SetValueKind(vkList);
        Operators(add(kInList + 1))->SetValueKind(vkList);
    }
    if (FExOperators.Contains(xoStartsWith)) {
        add(kStartsWith);
        add(kStartsWith + 1);
    }
    if (FExOperators.Contains(xoContains)) {
        add(kContains);
        add(kContains + 1);
    }
    if (FExOperators.Contains(xoBetween)) {
        add(kBetween);
        add(kBetween + 1);
    }
}

void TVxCustomDBStructure::SetExOperators(TExOperators ops)
{
    if (ops == FExOperators)
        return;
    FExOperators = ops;
    UpdateExOperators();
    UpdateDefOperators();
}

void TVxCustomDBStructure::UpdateExOperators()
{
    struct Family {
        TExOperator family;
        int first;
    };
    const Family families[] = {{xoInList, kInList}, {xoStartsWith, kStartsWith},
                               {xoContains, kContains}, {xoBetween, kBetween}};
    for (const Family& f : families) {
        for (int i = f.first; i < f.first + 2; ++i) {
            const QString name = QString::fromLatin1(kDefaults[i].name);
            if (FExOperators.Contains(f.family)) {
                const QString format = f.family == xoBetween ? LoadResString(_SAndConj) : QString();
                const int index = AddUpdateOperator(true, name, GetDefOperator(name),
                                                    QString::fromLatin1(kDefaults[i].sql), format,
                                                    appliedTypesOf(i));
                if (f.family == xoInList)
                    Operators(index)->SetValueKind(vkList);
            } else {
                DeleteOperatorByName(name);
            }
        }
    }
}

void TVxCustomDBStructure::SetDefOperators(const TStringList& captions)
{
    FDefOperators.Assign(captions);
    UpdateDefOperators();
}

void TVxCustomDBStructure::LoadDefsOpertors()
{
    FDefOperators.Clear();
    for (const DefaultOperator& d : kDefaults)
        FDefOperators.Add(QString::fromLatin1(d.name) + u'=' + captionOf(d));
}

void TVxCustomDBStructure::MergeDefOperators()
{
    for (const DefaultOperator& d : kDefaults) {
        const QString name = QString::fromLatin1(d.name);
        if (FDefOperators.Values(name).isEmpty())
            FDefOperators.Add(name + u'=' + captionOf(d));
    }
}

void TVxCustomDBStructure::UpdateDefOperators()
{
    for (const DefaultOperator& d : kDefaults) {
        const QString name = QString::fromLatin1(d.name);
        UpdateOperatorCaption(name, GetDefOperator(name));
    }
}

bool CheckIfAggregate(const QString& expr)
{
    const QString lower = expr.toLower();
    for (const char* f : {"sum(", "count(", "max(", "min(", "avg(", "list("})
        if (lower.contains(QLatin1String(f)))
            return true;
    return false;
}

} // namespace brindle
