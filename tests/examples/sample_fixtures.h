#pragma once
// The sample database, opened read-only under a connection name of the
// test's own.

#include <QSqlDatabase>
#include <QSqlError>

#include <gtest/gtest.h>

namespace brindle::fixtures {

inline void OpenSampleDatabase(const QString& connection)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
}

} // namespace brindle::fixtures
