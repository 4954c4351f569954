#pragma once
// Rows of different servers as the comparisons hold them against each
// other: cells as text, dates and moments in ISO form (SQLite keeps them as
// text, the servers as dates), reals to six decimals (sums over the same
// rows may differ in their last bits), Booleans as 1 and 0; and the sort
// keys of a statement's ORDER BY, leaving out keys that hold NULL, which
// servers place at opposite ends.

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

namespace brindle::testing {

using Rows = QList<QStringList>;

inline QString ComparedCell(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'f', 6);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString();
    }
}

// The 1-based result columns of "ORDER BY 2 DESC, 1 ASC".
inline QList<int> SortColumns(const QString& sql)
{
    QList<int> columns;
    const qsizetype at = sql.lastIndexOf(QStringLiteral("ORDER BY "));
    if (at < 0)
        return columns;
    static const QRegularExpression position(QStringLiteral("(\\d+) (?:ASC|DESC)"));
    for (const auto& m : position.globalMatch(sql.mid(at)))
        columns.append(m.captured(1).toInt());
    return columns;
}

inline Rows SortKeys(const Rows& rows, const QList<int>& columns)
{
    Rows keys;
    for (const QStringList& row : rows) {
        QStringList key;
        for (int column : columns)
            key.append(row.value(column - 1));
        if (!key.contains(QStringLiteral("NULL")))
            keys.append(key);
    }
    return keys;
}

} // namespace brindle::testing
