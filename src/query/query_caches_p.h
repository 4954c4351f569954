#pragma once

// The query's caches: what it makes from its state on demand and keeps
// until that state changes. Not installed: hosts never see this layout.

#include <brindle/query/query.h>
#include <brindle/query/words.h>

#include <brindle/foundations/text_hash.h>

#include <QHash>

#include <memory>

namespace brindle {

// The field list of one bracket kind, made once per model revision.
struct TVxQuery::FieldListCache {
    quint64 Revision = ~quint64(0);
    const TVxCustomDBStructure* Model = nullptr;
    QList<TDSField*> Fields;
    std::shared_ptr<WordItems> Words;
};

struct TVxQuery::Caches {
    FieldListCache FieldLists[bkAggregatesOnly + 1];
    // The operator words' lists of the fields conditions were made on,
    // made once per field while no operator list changes.
    QHash<const TDSField*, std::shared_ptr<WordItems>> OperatorLists;
    quint64 OperatorListsRevision = ~quint64(0);
};

} // namespace brindle
