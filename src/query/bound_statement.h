#pragma once
// A built statement ready to run: its text, the values of the parameters it
// uses, typed for QtSql, and the captions of its columns. It is taken from
// a query on the query's thread and holds nothing of the query, so a worker
// thread may run it while the user goes on editing.
//
// A parameter's value is the text the query stores, read by its type:
//
//   integer types                 qlonglong; plain digits with a sign
//   ftFloat, ftCurrency, ...      double, read as the locale writes it
//   ftBCD, ftFMTBcd               double; digits with a "." point
//   ftBoolean                     bool: the model's true or false text,
//                                 letter case ignored
//   ftDate / ftTime               QDate / QTime   (the stored day number,
//   ftDateTime, ftTimeStamp       QDateTime        or ISO text a host stored)
//   any other type                the text
//
// An empty value reads as the literal of the same type would: 0, false,
// day 0. A value format other than "@v" (a LIKE pattern's "%@v%") makes
// the value the format's text, and a LIKE pattern of a server syntax has
// the value's pattern characters escaped. A value its type cannot read raises
// EConvertError, as the same value written as a literal does.

#include <brindle/brindle_core_export.h>

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

namespace brindle {

class TSQLFormats;
class TSQLParam;
class TVxQuery;

struct BRINDLE_CORE_EXPORT BoundStatement {
    QString SQL;
    // ":Param1" and its value, for each parameter the statement names; a
    // parameter of a disabled condition is not in the statement.
    QList<QPair<QString, QVariant>> Values;
    // The result fields' captions in select-list order; empty when the
    // statement selects "*", whose columns only the database knows.
    QStringList Captions;
};

// The statement of the query's last build (raises code 8 without one).
BRINDLE_CORE_EXPORT BoundStatement BindStatement(TVxQuery& query);

BRINDLE_CORE_EXPORT QVariant ParamValue(const TSQLParam& param, const TSQLFormats& formats);

} // namespace brindle
