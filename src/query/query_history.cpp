#include <brindle/query/query_history.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/query/query.h>

#include <QScopeGuard>

#include <algorithm>

namespace brindle {

TQueryHistory& TQueryHistory::Of(TVxQuery& query)
{
    if (auto* history = query.findChild<TQueryHistory*>(QString(), Qt::FindDirectChildrenOnly))
        return *history;
    return *new TQueryHistory(query);
}

TQueryHistory::TQueryHistory(TVxQuery& query) : QObject(&query), FQuery(query)
{
    connect(&query, &TVxQuery::changed, this, &TQueryHistory::queryChanged);
    // A new model resets the tree without reporting a change.
    connect(&query, &TVxQuery::treeReset, this, [this] {
        if (modelReplaced())
            restart();
    });
    restart();
}

TQueryHistory::~TQueryHistory()
{
    follow(nullptr);
}

void TQueryHistory::SetDepth(int depth)
{
    depth = std::max(depth, 0);
    if (depth == FDepth)
        return;
    const int undoBefore = UndoCount();
    const int redoBefore = RedoCount();
    const bool wasOff = FDepth == 0;
    FDepth = depth;
    if (wasOff) {
        // Nothing was taken while off: start from the query as it is.
        restart();
        return;
    }
    while (static_cast<int>(FSteps.size()) > depth) {
        // Redo steps go before the oldest undo steps.
        if (static_cast<int>(FSteps.size()) > FDone) {
            FSteps.pop_back();
        } else {
            FSteps.pop_front();
            --FDone;
        }
    }
    tell(undoBefore, redoBefore);
}

void TQueryHistory::SetTrackModel(bool on)
{
    if (on == FTrackModel)
        return;
    FTrackModel = on;
    // Steps taken without the model cannot give it back.
    restart();
}

int TQueryHistory::UndoCount() const
{
    return modelReplaced() ? 0 : FDone;
}

int TQueryHistory::RedoCount() const
{
    return modelReplaced() ? 0 : static_cast<int>(FSteps.size()) - FDone;
}

bool TQueryHistory::modelReplaced() const
{
    return FQuery.DbStruct() != FModelId || (FModelId && !FModel);
}

bool TQueryHistory::Undo()
{
    return restore(true);
}

bool TQueryHistory::Redo()
{
    return restore(false);
}

void TQueryHistory::Clear()
{
    restart();
}

bool TQueryHistory::restore(bool undo)
{
    if (modelReplaced()) {
        restart();
        return false;
    }
    if (undo ? FDone == 0 : FDone == static_cast<int>(FSteps.size()))
        return false;
    const int undoBefore = UndoCount();
    const int redoBefore = RedoCount();
    const Step& step = FSteps[static_cast<std::size_t>(undo ? FDone - 1 : FDone)];
    QStringList queryText = undo ? applyBackward(FQueryText, step.Query) : applyForward(FQueryText, step.Query);
    QStringList modelText = FModelText;
    if (step.Model)
        modelText = undo ? applyBackward(FModelText, *step.Model) : applyForward(FModelText, *step.Model);
    try {
        FRestoring = true;
        const auto done = qScopeGuard([this] { FRestoring = false; });
        // The query reads its rows against the model, so the model comes first.
        if (step.Model)
            FModel->LoadFromStrings(TStringList(modelText));
        FQuery.LoadFromStrings(TStringList(queryText));
    } catch (...) {
        restart();
        throw;
    }
    FQueryText = std::move(queryText);
    FModelText = std::move(modelText);
    FDone += undo ? -1 : 1;
    FAmend = false;
    tell(undoBefore, redoBefore);
    return true;
}

void TQueryHistory::restart()
{
    // The steps as they stood, though a model that went already hides them.
    const int undoBefore = FDone;
    const int redoBefore = static_cast<int>(FSteps.size()) - FDone;
    FSteps.clear();
    FDone = 0;
    FAmend = false;
    FModelOperation = false;
    follow(FQuery.DbStruct());
    FQueryText = FDepth > 0 ? queryText() : QStringList();
    FModelText = FDepth > 0 && FTrackModel ? modelText() : QStringList();
    tell(undoBefore, redoBefore);
}

void TQueryHistory::follow(TVxCustomDBStructure* model)
{
    if (FListened)
        FListened->RemoveModelListener(this);
    FListened = nullptr;
    disconnect(FModelChanged);
    disconnect(FModelGone);
    FModel = model;
    FModelId = model;
    if (!model)
        return;
    FModelGone = connect(model, &QObject::destroyed, this, [this] { restart(); });
    if (!FTrackModel)
        return;
    FListened = model;
    model->AddModelListener(this);
    FModelChanged = connect(model, &TVxCustomDBStructure::changed, this, &TQueryHistory::modelChanged);
}

QStringList TQueryHistory::queryText()
{
    // Taking the text must not look like saving it to the host.
    const bool modified = FQuery.Modified();
    TStringList lines;
    FQuery.SaveToStrings(lines);
    FQuery.SetModified(modified);
    return lines.Lines();
}

QStringList TQueryHistory::modelText() const
{
    if (!FModel)
        return {};
    TStringList lines;
    FModel->SaveToStrings(lines);
    return lines.Lines();
}

void TQueryHistory::queryChanged()
{
    record(FModelOperation);
}

void TQueryHistory::modelChanged()
{
    record(true);
}

void TQueryHistory::record(bool readModel)
{
    if (FRestoring || FDepth == 0)
        return;
    if (modelReplaced()) {
        restart();
        return;
    }
    QStringList query = queryText();
    QStringList model = readModel && FTrackModel ? modelText() : FModelText;
    if (query == FQueryText && model == FModelText)
        return;
    const int undoBefore = UndoCount();
    const int redoBefore = RedoCount();
    QStringList queryBefore = FQueryText;
    QStringList modelBefore = FModelText;
    if (FAmend && FDone > 0 && FDone == static_cast<int>(FSteps.size())) {
        // The same operation of the model goes on: its step grows.
        const Step& last = FSteps.back();
        queryBefore = applyBackward(FQueryText, last.Query);
        if (last.Model)
            modelBefore = applyBackward(FModelText, *last.Model);
        FSteps.pop_back();
        --FDone;
    }
    FSteps.resize(static_cast<std::size_t>(FDone));
    Step step{diff(queryBefore, query), std::nullopt};
    if (model != modelBefore)
        step.Model = diff(modelBefore, model);
    FSteps.push_back(std::move(step));
    ++FDone;
    if (static_cast<int>(FSteps.size()) > FDepth) {
        FSteps.pop_front();
        --FDone;
    }
    FQueryText = std::move(query);
    FModelText = std::move(model);
    FAmend = FModelOperation;
    tell(undoBefore, redoBefore);
}

void TQueryHistory::tell(int undoBefore, int redoBefore)
{
    const int undo = UndoCount();
    const int redo = RedoCount();
    if (undo == undoBefore && redo == redoBefore)
        return;
    emit stateChanged();
    if ((undo > 0) != (undoBefore > 0))
        emit canUndoChanged(undo > 0);
    if ((redo > 0) != (redoBefore > 0))
        emit canRedoChanged(redo > 0);
}

TQueryHistory::Delta TQueryHistory::diff(const QStringList& from, const QStringList& to)
{
    const auto common = static_cast<int>(std::min(from.size(), to.size()));
    int head = 0;
    while (head < common && from[head] == to[head])
        ++head;
    int tail = 0;
    while (tail < common - head && from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        ++tail;
    return {head, from.mid(head, from.size() - head - tail), to.mid(head, to.size() - head - tail)};
}

QStringList TQueryHistory::applyBackward(const QStringList& text, const Delta& delta)
{
    QStringList result = text.mid(0, delta.At);
    result += delta.Before;
    result += text.mid(delta.At + delta.After.size());
    return result;
}

QStringList TQueryHistory::applyForward(const QStringList& text, const Delta& delta)
{
    QStringList result = text.mid(0, delta.At);
    result += delta.After;
    result += text.mid(delta.At + delta.Before.size());
    return result;
}

// --- the model's operations

void TQueryHistory::ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval&)
{
    FModelOperation = true;
}

void TQueryHistory::ModelEntitiesUpdated(TVxCustomDBStructure*)
{
    FModelOperation = true;
}

void TQueryHistory::ModelEntitiesRemoved(TVxCustomDBStructure*)
{
    // The query may have repaired itself after the model's own report.
    record(true);
    FModelOperation = false;
    FAmend = false;
}

void TQueryHistory::ModelDestroying(TVxCustomDBStructure*)
{
    // The model forgets its listeners itself; the steps go once it is gone.
    FListened = nullptr;
    FModelOperation = false;
    FAmend = false;
}

} // namespace brindle
