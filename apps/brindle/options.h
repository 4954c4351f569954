#pragma once
// The command line of one brindle command: "--name VALUE", "--name=VALUE"
// and switches, checked against the flags the command knows. Anything that
// does not fit is a usage error, which the tool reports with the usage and
// exit status 2.

#include <brindle/foundations/enums.h>

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace brindle::cli {

// A command line that does not fit the command's usage.
struct UsageError {
    QString message;
};

struct FlagInfo {
    const char* name;      // with its dashes: "--model"
    const char* valueName; // "FILE"; nullptr for a switch
    const char* help;      // one line
};

class Flags {
public:
    // Raises UsageError for an unknown flag, a flag given twice, a flag
    // without its value and any other argument.
    Flags(const QStringList& args, const std::vector<FlagInfo>& flagInfos);

    bool Has(const QString& name) const { return FValues.contains(name); }
    QString Value(const QString& name, const QString& fallback = {}) const { return FValues.value(name, fallback); }
    // The value of a flag the command cannot do without.
    QString Required(const QString& name) const;

private:
    QHash<QString, QString> FValues;
};

// "sql1", "sql2", "oracle", "access", "nexusdb", "postgresql", "sqlite",
// "mysql", "mssql", letter case ignored.
TSQLSyntax ParseSyntax(const QString& text);
// A comma-separated list of TSQLOption names (blanks around the names
// allowed); the empty text is the empty set.
TSQLOptions ParseSQLOptions(const QString& text);

} // namespace brindle::cli
