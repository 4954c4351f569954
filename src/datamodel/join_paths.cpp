// The search for the shortest chain of links between two tables.
//
// The search answers as a level-by-level expansion of every chain would:
// fewest links first, and among chains of equal length the one whose prefix
// was formed first (earlier tables of the previous level, earlier links in a
// table's link list), then the first link of the end table that reaches the
// target. Remembering only where each table was first reached gives that same
// winner: a chain that reaches a table later than its first reach can never
// be the first to reach the target on a shortest chain. So this is a plain
// breadth-first search, linear in tables and links.

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>


namespace brindle {

TDSPath* TVxCustomDBStructure::GetPath(const QString& alias1, const QString& alias2)
{
    TDSTable* start = TableByName(tlByAlias, alias1);
    if (!start)
        RaiseDBStructError(4, _SDBSENoTable, {alias1});
    TDSTable* target = TableByName(tlByAlias, alias2);
    if (!target)
        RaiseDBStructError(4, _SDBSENoTable, {alias2});

    const quint64 mark = ++FSearchMark;
    start->FSearchMark = mark;
    start->FSearchParent = nullptr;
    FSearchQueue.clear();
    FSearchQueue.push_back(start);
    TDSTable* hitFrom = nullptr;
    for (std::size_t head = 0; head < FSearchQueue.size() && !hitFrom; ++head) {
        TDSTable* end = FSearchQueue[head];
        for (const TDSLink* link : end->FLinks) {
            TDSTable* other = link->Table1() == end ? link->Table2() : link->Table1();
            if (other == target) {
                hitFrom = end;
                break;
            }
            if (other && other->FSearchMark != mark) {
                other->FSearchMark = mark;
                other->FSearchParent = end;
                FSearchQueue.push_back(other);
            }
        }
    }
    if (!hitFrom)
        return nullptr;

    std::vector<TDSTable*> chain{target};
    for (TDSTable* t = hitFrom; t; t = t->FSearchParent)
        chain.push_back(t);
    FCurPath->Clear();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        FCurPath->AddTable(*it);
    return FCurPath.get();
}

bool TVxCustomDBStructure::CheckPath(const TDSPath& path, const TDSTable* target,
                                     std::vector<std::unique_ptr<TDSPath>>& nextLevel) const
{
    const TDSTable* end = path.EndPoint();
    if (!end)
        return false;
    for (const TDSLink* link : end->FLinks) {
        TDSTable* other = link->Table1() == end ? link->Table2() : link->Table1();
        if (other == target) {
            nextLevel.clear();
            return true;
        }
        if (other && !path.Contains(other)) {
            auto extended = std::make_unique<TDSPath>();
            extended->Assign(path);
            extended->AddTable(other);
            nextLevel.push_back(std::move(extended));
        }
    }
    return false;
}

TDSLink* TVxCustomDBStructure::FindLink(const QString& tableName1, const QString& tableName2) const
{
    for (const auto& link : FLinks) {
        const QString n1 = link->Table1() ? link->Table1()->TableName() : QString();
        const QString n2 = link->Table2() ? link->Table2()->TableName() : QString();
        if ((n1 == tableName1 && n2 == tableName2) || (n1 == tableName2 && n2 == tableName1))
            return link.get();
    }
    return nullptr;
}

} // namespace brindle
