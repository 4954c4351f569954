#pragma once
// The path search written as a plain level-by-level expansion of every
// chain of links, keeping no record of tables already reached. It is the
// reference the model's breadth-first search must agree with, and the
// baseline the benchmark compares it to. Its cost multiplies with the links
// per table at every level, so it takes an optional limit on the number of
// candidate paths; past it the search gives up and reports so.

#include <brindle/datamodel/db_structure.h>

#include <memory>
#include <optional>
#include <vector>

namespace brindle::reference {

struct ExhaustiveResult {
    bool found = false;
    bool gaveUp = false;
    std::vector<const TDSTable*> tables;
};

inline ExhaustiveResult ExhaustivePathSearch(TVxCustomDBStructure& model, const QString& alias1,
                                             const QString& alias2, std::size_t candidateLimit = 0)
{
    ExhaustiveResult result;
    TDSTable* start = model.TableByName(tlByAlias, alias1);
    TDSTable* target = model.TableByName(tlByAlias, alias2);
    if (!start || !target)
        return result;

    std::vector<std::unique_ptr<TDSPath>> candidates;
    candidates.push_back(std::make_unique<TDSPath>(&model));
    candidates.back()->AddTable(start);
    std::vector<std::unique_ptr<TDSPath>> nextLevel;
    std::size_t created = 1;
    while (true) {
        nextLevel.clear();
        for (const auto& path : candidates) {
            const std::size_t before = nextLevel.size();
            if (model.CheckPath(*path, target, nextLevel)) {
                for (int i = 0; i < path->TableCount(); ++i)
                    result.tables.push_back(path->Tables(i));
                result.tables.push_back(target);
                result.found = true;
                return result;
            }
            created += nextLevel.size() - before;
            if (candidateLimit && created > candidateLimit) {
                result.gaveUp = true;
                return result;
            }
        }
        candidates.clear();
        if (nextLevel.empty())
            return result;
        candidates.swap(nextLevel);
    }
}

} // namespace brindle::reference
