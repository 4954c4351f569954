// Builds the sample SQLite database from its script:
//   make_sample_db <script.sql> <database file>
// The script runs statement by statement in one transaction with foreign
// keys enforced; any failure leaves no database behind and exits non-zero.

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <cstdio>
#include <stdexcept>

namespace {

// Splits at the semicolons that end statements: not those inside quoted
// literals or identifiers (a doubled quote stays inside), nor in comments,
// which are dropped.
QStringList SplitStatements(const QString& script)
{
    QStringList statements;
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    throw std::runtime_error("unterminated quote in the script");
                if (script.at(j) == c) {
                    if (j + 1 < n && script.at(j + 1) == c)
                        ++j;
                    else
                        break;
                }
            }
            current += script.mid(i, j - i + 1);
            i = j;
        } else if (c == u'-' && i + 1 < n && script.at(i + 1) == u'-') {
            while (i < n && script.at(i) != u'\n')
                ++i;
            current += u'\n';
        } else if (c == u'/' && i + 1 < n && script.at(i + 1) == u'*') {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                throw std::runtime_error("unterminated comment in the script");
            i = end + 1;
            current += u' ';
        } else if (c == u';') {
            if (!current.trimmed().isEmpty())
                statements.append(current.trimmed());
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        throw std::runtime_error("the script ends inside a statement (missing ';')");
    return statements;
}

void Exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw std::runtime_error(QStringLiteral("%1\nin statement:\n%2")
                                     .arg(query.lastError().text(), sql.left(400))
                                     .toStdString());
}

void Build(const QString& scriptPath, const QString& dbPath)
{
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("cannot read %1: %2").arg(scriptPath, file.errorString()).toStdString());
    const QStringList statements = SplitStatements(QString::fromUtf8(file.readAll()));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make_sample_db"));
    db.setDatabaseName(dbPath);
    if (!db.open())
        throw std::runtime_error(QStringLiteral("cannot open %1: %2").arg(dbPath, db.lastError().text()).toStdString());
    {
        QSqlQuery query(db);
        // Outside the transaction: SQLite ignores this pragma inside one.
        Exec(query, QStringLiteral("PRAGMA foreign_keys = ON"));
        if (!db.transaction())
            throw std::runtime_error(db.lastError().text().toStdString());
        for (const QString& statement : statements)
            Exec(query, statement);
        if (!db.commit())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    db.close();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_sample_db <script.sql> <database file>\n");
        return 2;
    }
    const QString dbPath = args.at(2);
    // Built under a temporary name, so a failed run never leaves a file that
    // looks up to date.
    const QString tempPath = dbPath + QStringLiteral(".tmp");
    QFile::remove(tempPath);
    int rc = 0;
    try {
        Build(args.at(1), tempPath);
        QFile::remove(dbPath);
        if (!QFile::rename(tempPath, dbPath))
            throw std::runtime_error(QStringLiteral("cannot rename %1 to %2").arg(tempPath, dbPath).toStdString());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample_db: %s\n", e.what());
        rc = 1;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make_sample_db"));
    if (rc != 0)
        QFile::remove(tempPath);
    return rc;
}
