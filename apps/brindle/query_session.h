#pragma once
// A stored query on its stored model, as the query commands use it: both
// loaded, the query active, the statement flags applied. The session owns
// the model (and whatever else its form holds) and the query.

#include "options.h"

#include <brindle/query/query.h>

#include <memory>

namespace brindle::cli {

// --model and --query.
const std::vector<FlagInfo>& QueryFileFlags();
// --syntax, --options, --top, --limit and --main-table.
const std::vector<FlagInfo>& StatementFlags();

class QuerySession {
public:
    // Checks every flag before it reads a file, so a usage error never waits
    // for a load. Without --options the query keeps the options it has
    // after loading: those its text stores, else the default ones.
    explicit QuerySession(const Flags& flags);

    TVxQuery& Query() { return *FQuery; }
    // BuildQuery, then the statement's lines.
    const TStringList& BuildSQL();

private:
    QObject FOwner;
    TVxDBStructure* FModel = nullptr;
    std::unique_ptr<TVxQuery> FQuery;
};

} // namespace brindle::cli
