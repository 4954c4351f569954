#pragma once
// The sample database, opened read-only under a connection name of the
// test's own, and rows of its results as texts to compare.

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace brindle::fixtures {

using Rows = QList<QStringList>;

// A cell as compared: a sum over a join may differ in its last bits with
// the row order.
inline QString CellText(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'f', 4);
    return value.toString();
}

// The rows as one text: sorted unless the statement orders them.
inline std::string ShowRows(Rows rows, bool ordered)
{
    if (!ordered)
        std::sort(rows.begin(), rows.end());
    QString text;
    for (const QStringList& row : rows)
        text += row.join(u'|') + u'\n';
    return text.toStdString();
}

inline void OpenSampleDatabase(const QString& connection)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
}

} // namespace brindle::fixtures
