#include <brindle/query/bound_statement.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/conversions.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/text_utils.h>
#include <brindle/query/query.h>

#include <QRegularExpression>

namespace brindle {
namespace {

const TFieldTypes kIntegerTypes = {ftSmallint, ftInteger,  ftWord, ftAutoInc,
                                   ftLargeint, ftShortint, ftByte, ftLongWord};
const TFieldTypes kFloatTypes = {ftFloat, ftCurrency, ftExtended, ftSingle};
const TFieldTypes kDecimalTypes = {ftBCD, ftFMTBcd};

qlonglong integerValue(const QString& value)
{
    const QString text = TrimBlanks(value);
    static const QRegularExpression plain(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = false;
    const qlonglong number = plain.match(text).hasMatch() ? text.toLongLong(&ok) : 0;
    if (!ok)
        throw EConvertError(QStringLiteral("'%s' is not a valid integer value"), {value});
    return number;
}

double decimalValue(const QString& value)
{
    const QString text = TrimBlanks(value);
    static const QRegularExpression plain(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    if (!plain.match(text).hasMatch())
        throw EConvertError(QStringLiteral("'%s' is not a valid floating point value"), {value});
    return text.toDouble();
}

bool booleanValue(const QString& value, const TSQLFormats& formats)
{
    const QString text = TrimBlanks(value);
    if (text.compare(formats.TrueValue(), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(formats.FalseValue(), Qt::CaseInsensitive) == 0)
        return false;
    throw EConvertError(QStringLiteral("'%s' is not a valid Boolean value"), {value});
}

// A host may store a parameter's date as ISO text rather than a day number.
QVariant dateValue(TFieldType type, const QString& value)
{
    const QString text = TrimBlanks(value);
    QDateTime moment = QDateTime::fromString(text, Qt::ISODate);
    if (type == ftTime && !moment.isValid() && text.contains(u':'))
        moment = QDateTime(QDate(1899, 12, 30), QTime::fromString(text, Qt::ISODate));
    if (!moment.isValid())
        moment = ToQDateTime(text.isEmpty() ? 0 : BrStrToDateTime(text));
    if (type == ftDate)
        return moment.date();
    if (type == ftTime)
        return moment.time();
    return moment;
}

const TSQLFormats& formatsOf(const TVxQuery& query)
{
    if (const TVxCustomDBStructure* model = query.DbStruct())
        return *model->SQLFormats();
    static const TSQLFormats defaults;
    return defaults;
}

} // namespace

QVariant ParamValue(const TSQLParam& param, const TSQLFormats& formats)
{
    const TFieldType type = param.ParamType();
    const QString& value = param.Value();
    if (param.ValueFormat() != QStringLiteral("@v") || param.EscapedLike())
        return param.GetFullValue();
    if (kIntegerTypes.Contains(type))
        return value.isEmpty() ? 0 : integerValue(value);
    if (kFloatTypes.Contains(type))
        return value.isEmpty() ? 0.0 : StrToFloat(value);
    if (kDecimalTypes.Contains(type))
        return value.isEmpty() ? 0.0 : decimalValue(value);
    if (type == ftBoolean)
        return value.isEmpty() ? false : booleanValue(value, formats);
    if (BrDateTimeTypes.Contains(type))
        return dateValue(type, value);
    return value;
}

BoundStatement BindStatement(TVxQuery& query)
{
    TQueryResult& result = *query.QResult();
    BoundStatement statement;
    statement.SQL = result.GetSQL().Text();
    for (int i = 0; i < result.GetParamCount(); ++i) {
        const TSQLParam& param = *result.GetParam(i);
        const QString placeholder = u':' + param.ParamName();
        const QRegularExpression used(QRegularExpression::escape(placeholder) + QStringLiteral("\\b"));
        if (used.match(statement.SQL).hasMatch())
            statement.Values.append({placeholder, ParamValue(param, formatsOf(query))});
    }
    const TRFieldList& fields = result.ResultFields();
    if (!fields.JustSorting())
        for (const auto& field : fields)
            statement.Captions.append(field->Caption());
    return statement;
}

} // namespace brindle
