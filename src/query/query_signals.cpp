// What the query tells its views: single changes of the tree and of the
// result fields while they happen, and resets around the changes that
// replace much at once (loading, importing, a new model, updates).

#include <brindle/query/query.h>

#include <QMetaMethod>

namespace brindle {

bool TVxQuery::inTree(const TFilterRow* row) const
{
    while (row != FFilter.get()) {
        if (!row->FAttached || !row->FParentBracket)
            return false;
        row = row->FParentBracket;
    }
    return true;
}

void TVxQuery::connectNotify(const QMetaMethod& signal)
{
    if (signal == QMetaMethod::fromSignal(&TVxQuery::changed))
        FChangedListened = true;
    else if (signal.enclosingMetaObject() == &staticMetaObject)
        FViewsListen = true;
}

void TVxQuery::rowInsertedNow(TFilterBracket* parent, int index)
{
    if (inTree(parent))
        CallHost([&] { emit rowInserted(parent, index); });
}

void TVxQuery::rowRemovingNow(TFilterBracket* parent, int index)
{
    if (inTree(parent))
        CallHost([&] { emit rowAboutToBeRemoved(parent, index); });
}

void TVxQuery::rowMovedNow(TFilterRow* row, TFilterBracket* oldParent, int oldIndex)
{
    if (inTree(row))
        CallHost([&] { emit rowMoved(row, oldParent, oldIndex); });
}

void TVxQuery::wordsReplacedNow(TFilterRow* row)
{
    if (inTree(row))
        CallHost([&] { emit rowWordsReplaced(row); });
}

void TVxQuery::wordChangedNow(TFilterRow* row, TQueryWord* word)
{
    if (inTree(row))
        CallHost([&] { emit rowWordChanged(row, word); });
}

void TVxQuery::beginReset()
{
    if (FResetDepth++ == 0)
        CallHost([&] {
            emit treeAboutToBeReset();
            emit resultFieldsAboutToBeReset();
        });
}

void TVxQuery::endReset()
{
    if (FResetDepth > 0 && --FResetDepth == 0)
        CallHost([&] {
            emit treeReset();
            emit resultFieldsReset();
        });
}

void TVxQuery::BeginUpdate()
{
    FUpdating = true;
    if (FUpdateDepth++ == 0)
        beginReset();
}

void TVxQuery::EndUpdate()
{
    FUpdating = false;
    if (FUpdateDepth > 0 && --FUpdateDepth == 0)
        endReset();
}

// --- the result field list's changes

void TVxQuery::RFieldInserted(int index)
{
    if (FResetDepth == 0)
        CallHost([&] { emit resultFieldInserted(index); });
}

void TVxQuery::RFieldAboutToBeRemoved(int index)
{
    if (FResetDepth == 0)
        CallHost([&] { emit resultFieldAboutToBeRemoved(index); });
}

void TVxQuery::RFieldMoved(int from, int to)
{
    if (FResetDepth == 0)
        CallHost([&] { emit resultFieldMoved(from, to); });
}

void TVxQuery::RFieldChanged(int index)
{
    if (FResetDepth == 0)
        CallHost([&] { emit resultFieldChanged(index); });
}

void TVxQuery::RFieldsAboutToBeReset()
{
    if (FResetDepth == 0)
        CallHost([&] { emit resultFieldsAboutToBeReset(); });
}

void TVxQuery::RFieldsReset()
{
    if (FResetDepth == 0)
        CallHost([&] { emit resultFieldsReset(); });
}

} // namespace brindle
