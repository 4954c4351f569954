#include "options.h"

#include <array>

namespace brindle::cli {

Flags::Flags(const QStringList& args, const std::vector<FlagInfo>& flagInfos)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QStringLiteral("--")) || arg.size() == 2)
            throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(arg)};
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = equals < 0 ? arg : arg.left(equals);
        const FlagInfo* info = nullptr;
        for (const FlagInfo& s : flagInfos)
            if (name == QLatin1String(s.name))
                info = &s;
        if (!info)
            throw UsageError{QStringLiteral("unknown option %1").arg(name)};
        if (FValues.contains(name))
            throw UsageError{QStringLiteral("%1 is given twice").arg(name)};
        QString value;
        if (!info->valueName) {
            if (equals >= 0)
                throw UsageError{QStringLiteral("%1 takes no value").arg(name)};
        } else if (equals >= 0) {
            value = arg.mid(equals + 1);
        } else {
            // The next argument is the value whatever it looks like: "-"
            // names standard input.
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("%1 needs a value (%2)").arg(name, QLatin1String(info->valueName))};
            value = args.at(++i);
        }
        FValues.insert(name, value);
    }
}

QString Flags::Required(const QString& name) const
{
    const auto found = FValues.constFind(name);
    if (found == FValues.cend())
        throw UsageError{QStringLiteral("%1 is required").arg(name)};
    return found.value();
}

TSQLSyntax ParseSyntax(const QString& text)
{
    static constexpr std::array<std::pair<const char*, TSQLSyntax>, 9> names{{
        {"sql1", ssSQL1}, {"sql2", ssSQL2}, {"oracle", ssOracle}, {"access", ssAccess}, {"nexusdb", ssNexusDB},
        {"postgresql", ssPostgreSQL}, {"sqlite", ssSQLite}, {"mysql", ssMySQL}, {"mssql", ssMSSQL},
    }};
    for (const auto& [name, syntax] : names)
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return syntax;
    throw UsageError{
        QStringLiteral("unknown syntax \"%1\" (sql1, sql2, oracle, access, nexusdb, postgresql, sqlite, mysql or mssql)")
            .arg(text)};
}

TSQLOptions ParseSQLOptions(const QString& text)
{
    TSQLOptions options;
    if (text.trimmed().isEmpty())
        return options;
    for (const QString& item : text.split(u',')) {
        const QString name = item.trimmed();
        const int option = StrToSQLOption(name);
        if (option < 0) {
            QStringList known;
            for (int o = soASCIIRFields; o <= soFilter; ++o)
                known.append(SQLOptionToStr(static_cast<TSQLOption>(o)));
            throw UsageError{QStringLiteral("unknown statement option \"%1\" (one of %2)").arg(name, known.join(u' '))};
        }
        options.Include(static_cast<TSQLOption>(option));
    }
    return options;
}

} // namespace brindle::cli
