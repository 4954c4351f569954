#include "query_session.h"

#include "model_loading.h"

#include <brindle/foundations/messages.h>

#include <optional>

namespace brindle::cli {

const std::vector<FlagInfo>& QueryFileFlags()
{
    static const std::vector<FlagInfo> flags = {
        {"--model", "FILE", "the data model: model text, model XML (*.xml) or a form file holding a TVxDBStructure"},
        {"--query", "FILE", "the query in the query text format"},
    };
    return flags;
}

const std::vector<FlagInfo>& StatementFlags()
{
    static const std::vector<FlagInfo> flags = {
        {"--syntax", "SYNTAX", "sql1, sql2 (default), oracle, access or nexusdb"},
        {"--options", "LIST", "statement options, e.g. soSelectDistinct,soQuoteAliases; \"\" for none"},
        {"--top", "TEXT", "the TOP clause"},
        {"--limit", "TEXT", "the LIMIT clause"},
        {"--main-table", "NAME", "the main table, by name, alias or compound name"},
    };
    return flags;
}

QuerySession::QuerySession(const Flags& flags)
{
    const QString modelFile = flags.Required(QStringLiteral("--model"));
    const QString queryFile = flags.Required(QStringLiteral("--query"));
    if (modelFile == QStringLiteral("-") && queryFile == QStringLiteral("-"))
        throw UsageError{QStringLiteral("--model and --query cannot both read standard input")};
    const TSQLSyntax syntax = ParseSyntax(flags.Value(QStringLiteral("--syntax"), QStringLiteral("sql2")));
    std::optional<TSQLOptions> options;
    if (flags.Has(QStringLiteral("--options")))
        options = ParseSQLOptions(flags.Value(QStringLiteral("--options")));

    FModel = LoadModel(modelFile, &FOwner);
    FQuery = std::make_unique<TVxQuery>();
    FQuery->SetDbStruct(FModel);
    // A query text that stores its options brings them along.
    FQuery->SetSaveSQLOptions(true);
    FQuery->LoadFromStrings(ReadInputLines(queryFile));
    FQuery->SetActive(true);

    FQuery->SetSQLSyntax(syntax);
    if (options)
        FQuery->SetSQLOptions(*options);
    if (flags.Has(QStringLiteral("--top")))
        FQuery->SetSQLTopClause(flags.Value(QStringLiteral("--top")));
    if (flags.Has(QStringLiteral("--limit")))
        FQuery->SetSQLLimitClause(flags.Value(QStringLiteral("--limit")));
    if (flags.Has(QStringLiteral("--main-table"))) {
        const QString name = flags.Value(QStringLiteral("--main-table"));
        // The query falls back to the model's default main table; a name
        // given on purpose must exist.
        if (!FModel->TableByName(tlByCompoundName, name) && !FModel->TableByName(tlByAlias, name)
            && !FModel->TableByName(tlByName, name))
            RaiseDBStructError(4, _SDBSENoTable, {name});
        FQuery->SetMainTableName(name);
    }
}

const TStringList& QuerySession::BuildSQL()
{
    FQuery->BuildQuery();
    return FQuery->QResult()->GetSQL();
}

} // namespace brindle::cli
